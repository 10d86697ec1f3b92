#include "app/adr_list.h"
#include "app/main_window.h"
#include "core/document_file.h"
#include "file_system_faults.h"
#include "test_support.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

using namespace callvista;
using namespace callvista::testing;

namespace {

const QString Question = QStringLiteral("Callvista is Changed, Do you want to save your changes?");

// Chooser steps, as a person would take them.
ModalScript::Step typeName(const QString& name, QStringList* titles = nullptr)
{
    return [name, titles](QDialog& dialog) {
        if (titles)
            titles->append(dialog.windowTitle());
        QTest::keyClicks(child<QLineEdit>(dialog, "boxFileName"), name);
        QTest::keyClick(child<QLineEdit>(dialog, "boxFileName"), Qt::Key_Return);
    };
}

ModalScript::Step pickFile(const QString& name, QStringList* titles = nullptr,
                           const std::function<void()>& beforeAccepting = {})
{
    return [=](QDialog& dialog) {
        if (titles)
            titles->append(dialog.windowTitle());
        auto* list = child<QListWidget>(dialog, "boxFile");
        const auto found = list->findItems(name, Qt::MatchExactly);
        QCOMPARE(found.size(), 1);
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                          list->visualItemRect(found.first()).center());
        QCOMPARE(child<QLineEdit>(dialog, "boxFileName")->text(), name);
        if (beforeAccepting)
            beforeAccepting();
        QTest::mouseClick(child<QPushButton>(dialog, "btnAction"), Qt::LeftButton);
    };
}

ModalScript::Step leave(QStringList* titles = nullptr)
{
    return [titles](QDialog& dialog) {
        if (titles)
            titles->append(dialog.windowTitle());
        QTest::keyClick(&dialog, Qt::Key_Escape);
    };
}

QByteArray contents(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

void writeBytes(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    QCOMPARE(file.write(bytes), bytes.size());
}

} // namespace

class TestDocumentCommands : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void saveOnUntitledGoesThroughSaveAs();
    void questionBeforeNewAndOpen_data();
    void questionBeforeNewAndOpen();
    void newAfterYesSavesThenStartsAfresh();
    void newStopsWhenTheSaveFails();
    void newThenExitAsksNothingAndWritesNothing();
    void saveAsOntoTheCurrentFileAsksFirst();
    void saveWritesAgainWithoutAQuestion();
    void openReplacesTheList();
    void openOfAnEmptyFileDisablesTheButtons();
    void openRefusedKeepsTheDocument_data();
    void openRefusedKeepsTheDocument();
    void openTellsWhatTheReaderMended_data();
    void openTellsWhatTheReaderMended();
    void failingSaveKeepsNameAndFlag_data();
    void failingSaveKeepsNameAndFlag();
    void realWriteFailureKeepsEverything_data();
    void realWriteFailureKeepsEverything();
    void closing_data();
    void closing();
    void shortcuts_data();
    void shortcuts();
    void roundTripThroughTheRealDialogs();

private:
    void addEntries(const QList<QStringList>& entries);
    [[nodiscard]] QStringList families() const;
    [[nodiscard]] QString path(const QString& name) const;

    std::unique_ptr<QTemporaryDir> m_temp;
    QString m_savedCurrent;
    std::unique_ptr<Main> m_main;
};

void TestDocumentCommands::init()
{
    m_savedCurrent = QDir::currentPath();
    m_temp = std::make_unique<QTemporaryDir>();
    QVERIFY(m_temp->isValid());
    QVERIFY(QDir::setCurrent(m_temp->path()));
    m_main = std::make_unique<Main>();
    showActive(*m_main);
}

void TestDocumentCommands::cleanup()
{
    m_main.reset();
    QDir::setCurrent(m_savedCurrent);
    m_temp.reset();
}

void TestDocumentCommands::addEntries(const QList<QStringList>& entries)
{
    for (const QStringList& e : entries)
        QVERIFY(m_main->adrList()->addItem(m_main->MakeNewItem(e.at(0), e.at(1), e.at(2))));
    m_main->ChangeFlag = true;
}

QStringList TestDocumentCommands::families() const
{
    QStringList result;
    for (const QString& line : m_main->adrList()->items())
        result.append(m_main->GetItemField(line, 1));
    return result;
}

QString TestDocumentCommands::path(const QString& name) const
{
    return QDir::toNativeSeparators(QDir::current().absoluteFilePath(name));
}

void TestDocumentCommands::saveOnUntitledGoesThroughSaveAs()
{
    addEntries({{"Baker", "Tom", "12-345-67"}});
    ModalScript dialogs;
    QStringList titles;
    dialogs.then(leave(&titles));
    m_main->saveMenuClick();
    QCOMPARE(titles, QStringList{"Save as to"});
    QCOMPARE(m_main->windowTitle(), QStringLiteral("<Untitled>"));
    QCOMPARE(m_main->CvaFileName, QStringLiteral("<Untitled>"));
    QVERIFY(m_main->ChangeFlag);
    QVERIFY(!m_main->ActionFlag);
    QVERIFY(QDir::current().entryList(QDir::Files).isEmpty());
}

void TestDocumentCommands::questionBeforeNewAndOpen_data()
{
    QTest::addColumn<bool>("open");
    QTest::addColumn<MessageAnswer>("answer");
    QTest::addColumn<QStringList>("choosers");

    QTest::newRow("new, cancel") << false << MessageAnswer::Cancel << QStringList{};
    QTest::newRow("new, no") << false << MessageAnswer::No
                             << QStringList{"Enter a New Callvista FileName"};
    QTest::newRow("new, yes on untitled")
        << false << MessageAnswer::Yes << QStringList{"Save as to", "Enter a New Callvista FileName"};
    QTest::newRow("open, cancel") << true << MessageAnswer::Cancel << QStringList{};
    QTest::newRow("open, no") << true << MessageAnswer::No << QStringList{"Open a Callvista"};
    QTest::newRow("open, yes on untitled")
        << true << MessageAnswer::Yes << QStringList{"Save as to", "Open a Callvista"};
}

void TestDocumentCommands::questionBeforeNewAndOpen()
{
    QFETCH(bool, open);
    QFETCH(MessageAnswer, answer);
    QFETCH(QStringList, choosers);

    addEntries({{"Baker", "Tom", "12-345-67"}});
    MessageScript messages;
    messages.answer(answer);
    ModalScript dialogs;
    QStringList titles;
    dialogs.then(leave(&titles));
    dialogs.then(leave(&titles));
    open ? m_main->openMenuClick() : m_main->newMenuClick();

    QCOMPARE(messages.asked.size(), 1);
    QCOMPARE(messages.asked.first().text, Question);
    QCOMPARE(messages.asked.first().title, QStringLiteral("Alert"));
    QCOMPARE(messages.asked.first().buttons, MessageButtons::YesNoCancel);
    QCOMPARE(titles, choosers);
    // Every chooser was left, so nothing changed.
    QCOMPARE(families(), QStringList{"Baker"});
    QVERIFY(m_main->ChangeFlag);
    QCOMPARE(m_main->windowTitle(), QStringLiteral("<Untitled>"));
    QVERIFY(QDir::current().entryList(QDir::Files).isEmpty());
}

void TestDocumentCommands::newAfterYesSavesThenStartsAfresh()
{
    writeBytes("book.CVA", "Old\r\nx\r\n1\r\n");
    m_main->CvaFileName = path("book.CVA");
    addEntries({{"Baker", "Tom", "12-345-67"}});
    m_main->find_fn = QStringLiteral("Bak");
    MessageScript messages;
    messages.answer(MessageAnswer::Yes);
    ModalScript dialogs;
    dialogs.then(typeName("fresh"));
    m_main->newMenuClick();

    QCOMPARE(dialogs.shown.size(), 1);
    QCOMPARE(contents("book.CVA"), QByteArray("Baker\r\nTom\r\n12-345-67\r\n"));
    QCOMPARE(m_main->adrList()->listCount(), qint16(0));
    QCOMPARE(m_main->CvaFileName, path("fresh.CVA"));
    QCOMPARE(m_main->windowTitle(), path("fresh.CVA"));
    QVERIFY(!m_main->ChangeFlag);
    QVERIFY(!m_main->ActionFlag);
    QVERIFY(m_main->find_fn.isEmpty());
    QVERIFY(!QFile::exists("fresh.CVA"));
}

void TestDocumentCommands::newStopsWhenTheSaveFails()
{
    QVERIFY(QDir::current().mkdir("taken.CVA"));
    m_main->CvaFileName = path("taken.CVA");
    addEntries({{"Baker", "Tom", "12-345-67"}});
    MessageScript messages;
    messages.answer(MessageAnswer::Yes);
    messages.answer(MessageAnswer::Ok);
    ModalScript dialogs;
    dialogs.then(typeName("fresh"));
    m_main->newMenuClick();
    // The changes could not be written: New ends before its chooser.
    QVERIFY(dialogs.shown.isEmpty());
    QCOMPARE(messages.asked.size(), 2);
    QCOMPARE(messages.asked.at(1).title, QStringLiteral("Error"));
    QCOMPARE(families(), QStringList{"Baker"});
    QVERIFY(m_main->ChangeFlag);
    QCOMPARE(m_main->CvaFileName, path("taken.CVA"));
}

void TestDocumentCommands::newThenExitAsksNothingAndWritesNothing()
{
    MessageScript messages;
    ModalScript dialogs;
    dialogs.then(typeName("fresh"));
    m_main->newMenuClick();
    QCOMPARE(m_main->windowTitle(), path("fresh.CVA"));
    m_main->exitMenuClick();
    QVERIFY(!m_main->isVisible());
    QVERIFY(messages.asked.isEmpty());
    QVERIFY(QDir::current().entryList(QDir::Files).isEmpty());
}

void TestDocumentCommands::saveAsOntoTheCurrentFileAsksFirst()
{
    addEntries({{"Baker", "Tom", "12-345-67"}});
    ModalScript dialogs;
    dialogs.then(typeName("book"));
    m_main->saveAsMenuClick();
    QCOMPARE(m_main->windowTitle(), path("book.CVA"));
    QVERIFY(!m_main->ChangeFlag);

    addEntries({{"Adams", "", "555-01-00"}});
    MessageScript messages;
    messages.answer(MessageAnswer::No);
    messages.answer(MessageAnswer::Yes);
    // No keeps the dialog open for another try; the step then accepts again.
    dialogs.then([](QDialog& dialog) {
        QTest::keyClicks(child<QLineEdit>(dialog, "boxFileName"), "book");
        QTest::keyClick(child<QLineEdit>(dialog, "boxFileName"), Qt::Key_Return);
        QVERIFY(dialog.isVisible());
        QTest::keyClick(child<QLineEdit>(dialog, "boxFileName"), Qt::Key_Return);
    });
    m_main->saveAsMenuClick();
    QCOMPARE(messages.asked.size(), 2);
    QCOMPARE(messages.asked.first().text,
             QStringLiteral("Are You Sure to OverWrite on '") + path("book.CVA") + "' ?");
    QCOMPARE(messages.asked.first().title, QStringLiteral("Warning"));
    QCOMPARE(contents("book.CVA"),
             QByteArray("Adams\r\n\r\n555-01-00\r\nBaker\r\nTom\r\n12-345-67\r\n"));
    QVERIFY(!m_main->ChangeFlag);
}

void TestDocumentCommands::saveWritesAgainWithoutAQuestion()
{
    writeBytes("book.CVA", "something else\r\n");
    m_main->CvaFileName = path("book.CVA");
    addEntries({{"Baker", "Tom", "12-345-67"}});
    m_main->ChangeFlag = false;
    MessageScript messages;
    ModalScript dialogs;
    m_main->saveMenuClick();
    QVERIFY(messages.asked.isEmpty());
    QVERIFY(dialogs.shown.isEmpty());
    QCOMPARE(contents("book.CVA"), QByteArray("Baker\r\nTom\r\n12-345-67\r\n"));
    QCOMPARE(m_main->windowTitle(), path("book.CVA"));
}

void TestDocumentCommands::openReplacesTheList()
{
    writeBytes("book.CVA", "Zeta\r\nZ\r\n9\r\nAdams\r\n\r\n555\r\n");
    addEntries({{"Baker", "Tom", "12-345-67"}});
    m_main->find_fn = QStringLiteral("Bak");
    m_main->find_match = 1;
    MessageScript messages;
    messages.answer(MessageAnswer::No);
    ModalScript dialogs;
    dialogs.then(pickFile("book.CVA"));
    m_main->openMenuClick();

    QCOMPARE(families(), (QStringList{"Adams", "Zeta"}));
    QCOMPARE(m_main->windowTitle(), path("book.CVA"));
    QCOMPARE(m_main->CvaFileName, path("book.CVA"));
    QVERIFY(!m_main->ChangeFlag);
    QVERIFY(!m_main->ActionFlag);
    QVERIFY(m_main->find_fn.isEmpty());
    QCOMPARE(m_main->find_match, qint16(0));
    QVERIFY(child(*m_main, "EditCmd")->isEnabled());
    QVERIFY(child(*m_main, "DelCmd")->isEnabled());
    QVERIFY(child(*m_main, "FindCmd")->isEnabled());
    QCOMPARE(messages.asked.size(), 1);
}

void TestDocumentCommands::openOfAnEmptyFileDisablesTheButtons()
{
    writeBytes("empty.CVA", "");
    addEntries({{"Baker", "Tom", "12-345-67"}});
    m_main->adrList()->setFocus();
    QVERIFY(child(*m_main, "EditCmd")->isEnabled());
    MessageScript messages;
    messages.answer(MessageAnswer::No);
    ModalScript dialogs;
    dialogs.then(pickFile("empty.CVA"));
    m_main->openMenuClick();
    QCOMPARE(m_main->adrList()->listCount(), qint16(0));
    QVERIFY(!m_main->ChangeFlag);
    QVERIFY(!child(*m_main, "EditCmd")->isEnabled());
    QVERIFY(!child(*m_main, "DelCmd")->isEnabled());
    QVERIFY(!child(*m_main, "FindCmd")->isEnabled());
}

void TestDocumentCommands::openRefusedKeepsTheDocument_data()
{
    QTest::addColumn<QString>("kind");
    QTest::newRow("file gone before it was read") << "missing";
    QTest::newRow("file too large to be a document") << "huge";
    QTest::newRow("more entries than the list holds") << "many";
}

void TestDocumentCommands::openRefusedKeepsTheDocument()
{
    QFETCH(QString, kind);
    const QString name = QStringLiteral("bad.CVA");
    writeBytes(name, "x\r\n");
    if (kind == "huge") {
        QFile file(name);
        QVERIFY(file.open(QIODevice::ReadWrite));
        QVERIFY(file.resize(64 * 1024 * 1024));
    } else if (kind == "many") {
        writeBytes(name, QByteArray("a\r\nb\r\n1\r\n").repeated(MaxEntries + 1));
    }
    writeBytes("kept.CVA", "");
    m_main->CvaFileName = path("kept.CVA");
    m_main->setWindowTitle(m_main->CvaFileName);
    addEntries({{"Baker", "Tom", "12-345-67"}});

    MessageScript messages;
    messages.answer(MessageAnswer::No);
    messages.answer(MessageAnswer::Ok);
    ModalScript dialogs;
    dialogs.then(pickFile(name, nullptr, [&] {
        if (kind == "missing")
            QVERIFY(QFile::remove(name));
    }));
    m_main->openMenuClick();

    QCOMPARE(messages.asked.size(), 2);
    QCOMPARE(messages.asked.at(1).title, QStringLiteral("Error"));
    QVERIFY2(messages.asked.at(1).text.contains(path(name)), qPrintable(messages.asked.at(1).text));
    QCOMPARE(families(), QStringList{"Baker"});
    QCOMPARE(m_main->CvaFileName, path("kept.CVA"));
    QCOMPARE(m_main->windowTitle(), path("kept.CVA"));
    QVERIFY(m_main->ChangeFlag);
    QVERIFY(!m_main->ActionFlag);
}

void TestDocumentCommands::openTellsWhatTheReaderMended_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<int>("entries");
    QTest::addColumn<QStringList>("told");

    QTest::newRow("overlong value and an incomplete last entry")
        << QByteArray(40, 'L') + "\r\nshort\r\n1\r\nLast\r\nhalf\r\n" << 2
        << QStringList{"1 value(s) were longer than their column", "last entry"};
    QTest::newRow("two Windows-1252 lines among UTF-8 ones")
        << QByteArray("M\xc3\xbcller\r\nA\r\n1\r\nJ\xe4ger\r\nB\xe4r\r\n2\r\n") << 2
        << QStringList{"2 line(s) were not UTF-8 text and were read as Windows-1252"};
    QTest::newRow("two blank entries at the end")
        << QByteArray("A\r\nB\r\n1\r\n") + QByteArray("\r\n").repeated(7) << 1
        << QStringList{"2 blank entr(ies) at the end of the file were left out"};
}

void TestDocumentCommands::openTellsWhatTheReaderMended()
{
    QFETCH(QByteArray, bytes);
    QFETCH(int, entries);
    QFETCH(QStringList, told);

    writeBytes("mended.CVA", bytes);
    MessageScript messages;
    ModalScript dialogs;
    dialogs.then(pickFile("mended.CVA"));
    m_main->openMenuClick();
    QCOMPARE(m_main->adrList()->listCount(), qint16(entries));
    QCOMPARE(messages.asked.size(), 1);
    QCOMPARE(messages.asked.first().title, QStringLiteral("Warning"));
    QCOMPARE(messages.asked.first().buttons, MessageButtons::Ok);
    for (const QString& note : told)
        QVERIFY2(messages.asked.first().text.contains(note), qPrintable(messages.asked.first().text));
    QCOMPARE(messages.asked.first().text.count(u'\n'), told.size() - 1);
    QVERIFY(!m_main->ChangeFlag);
}

void TestDocumentCommands::failingSaveKeepsNameAndFlag_data()
{
    QTest::addColumn<bool>("saveAs");
    QTest::newRow("save onto a folder") << false;
    QTest::newRow("save as onto a folder") << true;
}

void TestDocumentCommands::failingSaveKeepsNameAndFlag()
{
    QFETCH(bool, saveAs);
    QVERIFY(QDir::current().mkdir("taken.CVA"));
    const QString previous = saveAs ? QStringLiteral("<Untitled>") : path("taken.CVA");
    m_main->CvaFileName = previous;
    m_main->setWindowTitle(previous);
    addEntries({{"Baker", "Tom", "12-345-67"}});
    MessageScript messages;
    ModalScript dialogs;
    dialogs.then(typeName("taken"));
    saveAs ? m_main->saveAsMenuClick() : m_main->saveMenuClick();

    QCOMPARE(dialogs.shown.size(), saveAs ? 1 : 0);
    QCOMPARE(messages.asked.size(), 1);
    QCOMPARE(messages.asked.first().title, QStringLiteral("Error"));
    QVERIFY(messages.asked.first().text.contains(path("taken.CVA")));
    QVERIFY(m_main->ChangeFlag);
    QVERIFY(!m_main->ActionFlag);
    QCOMPARE(m_main->CvaFileName, previous);
    QCOMPARE(m_main->windowTitle(), previous);
    QVERIFY(QFileInfo(QStringLiteral("taken.CVA")).isDir());
}

void TestDocumentCommands::realWriteFailureKeepsEverything_data()
{
    QTest::addColumn<QString>("fault");
    QTest::addColumn<int>("entries");
    QTest::addColumn<QString>("reason");

    QTest::newRow("size limit, document under one buffer") << "size limit" << 200 << "File too large.";
    QTest::newRow("size limit, large document") << "size limit" << 3000 << "File too large.";
    QTest::newRow("full disk, document under one buffer") << "full disk" << 200
                                                          << "No space left on device.";
    QTest::newRow("full disk, large document") << "full disk" << 3000 << "No space left on device.";
    QTest::newRow("line break put into the list behind the dialogs' back")
        << "line break" << 3 << "holds a line break, which a document cannot store.";
}

void TestDocumentCommands::realWriteFailureKeepsEverything()
{
    QFETCH(QString, fault);
    QFETCH(int, entries);
    QFETCH(QString, reason);

    std::unique_ptr<TinyFileSystem> disk;
    QString folder = m_temp->path();
    if (fault == "full disk") {
        disk = std::make_unique<TinyFileSystem>(64);
        if (!disk->mounted())
            QSKIP(qPrintable("a full disk is made by mounting a tiny tmpfs, which is not allowed "
                             "here: " + disk->why()));
        folder = disk->path();
    }
    const QString document = QDir(folder).filePath("book.CVA");
    const QByteArray old("Old\r\nbook\r\n1\r\n");
    writeBytes(document, old);
    if (disk)
        QVERIFY(disk->fill());
    m_main->CvaFileName = document;
    m_main->setWindowTitle(document);
    for (int i = 0; i < entries; ++i)
        QVERIFY(m_main->adrList()->addItem(m_main->MakeNewItem(
            QStringLiteral("Family %1").arg(i, 5, 10, QChar(u'0')), "Short", "555-0100")));
    if (fault == "line break")
        QVERIFY(m_main->adrList()->addItem(QStringLiteral("Miller\n").leftJustified(30) + "|"
                                           + QString(20, u' ') + "|" + QString(20, u' ')));
    m_main->ChangeFlag = true;
    const QStringList before = QDir(folder).entryList(QDir::AllEntries | QDir::Hidden);

    MessageScript messages;
    {
        std::unique_ptr<FileSizeLimit> limit;
        if (fault == "size limit") {
            limit = std::make_unique<FileSizeLimit>(4096);
            QVERIFY(limit->isSet());
        }
        m_main->findChild<QAction*>("SaveMenu")->trigger();
    }
    QCOMPARE(messages.asked.size(), 1);
    QCOMPARE(messages.asked.first().title, QStringLiteral("Error"));
    QVERIFY2(messages.asked.first().text.contains(document), qPrintable(messages.asked.first().text));
    QVERIFY2(messages.asked.first().text.endsWith(reason), qPrintable(messages.asked.first().text));
    QVERIFY(m_main->ChangeFlag);
    QCOMPARE(m_main->windowTitle(), document);
    QCOMPARE(contents(document), old);
    QCOMPARE(QDir(folder).entryList(QDir::AllEntries | QDir::Hidden), before);

    // The changes are still unsaved, so closing asks about them.
    messages.answer(MessageAnswer::No);
    QVERIFY(m_main->close());
    QCOMPARE(messages.asked.size(), 2);
    QCOMPARE(messages.asked.last().title, QStringLiteral("Alert"));
}

void TestDocumentCommands::closing_data()
{
    QTest::addColumn<bool>("changed");
    QTest::addColumn<QString>("document");
    QTest::addColumn<MessageAnswer>("answer");
    QTest::addColumn<bool>("closes");
    QTest::addColumn<QByteArray>("written");

    const QByteArray none("<missing>");
    const QByteArray baker("Baker\r\nTom\r\n12-345-67\r\n");
    QTest::newRow("unchanged closes without a question")
        << false << "book.CVA" << MessageAnswer::Ok << true << none;
    QTest::newRow("no closes without writing") << true << "book.CVA" << MessageAnswer::No << true << none;
    QTest::newRow("yes writes and closes") << true << "book.CVA" << MessageAnswer::Yes << true << baker;
    QTest::newRow("yes on untitled, chooser left, closes")
        << true << "" << MessageAnswer::Yes << true << none;
    QTest::newRow("yes with a failing save stays open")
        << true << "folder.CVA" << MessageAnswer::Yes << false << none;
}

void TestDocumentCommands::closing()
{
    QFETCH(bool, changed);
    QFETCH(QString, document);
    QFETCH(MessageAnswer, answer);
    QFETCH(bool, closes);
    QFETCH(QByteArray, written);

    QVERIFY(QDir::current().mkdir("folder.CVA"));
    if (!document.isEmpty())
        m_main->CvaFileName = path(document);
    addEntries({{"Baker", "Tom", "12-345-67"}});
    m_main->ChangeFlag = changed;
    MessageScript messages;
    messages.answer(answer);
    messages.answer(MessageAnswer::Ok);
    ModalScript dialogs;
    dialogs.then(leave());
    QTest::keyClick(m_main.get(), Qt::Key_X, Qt::ControlModifier);

    QCOMPARE(m_main->isVisible(), !closes);
    if (changed) {
        QVERIFY(!messages.asked.isEmpty());
        QCOMPARE(messages.asked.first().text, Question);
        QCOMPARE(messages.asked.first().title, QStringLiteral("Alert"));
        QCOMPARE(messages.asked.first().buttons, MessageButtons::YesNo);
    } else {
        QVERIFY(messages.asked.isEmpty());
    }
    QCOMPARE(contents("book.CVA"), written);
    if (!closes)
        QVERIFY(m_main->ChangeFlag);
}

void TestDocumentCommands::shortcuts_data()
{
    QTest::addColumn<int>("key");
    QTest::addColumn<QString>("chooser");
    QTest::newRow("ctrl+n") << int(Qt::Key_N) << "Enter a New Callvista FileName";
    QTest::newRow("ctrl+o") << int(Qt::Key_O) << "Open a Callvista";
    QTest::newRow("ctrl+s on untitled") << int(Qt::Key_S) << "Save as to";
}

void TestDocumentCommands::shortcuts()
{
    QFETCH(int, key);
    QFETCH(QString, chooser);
    ModalScript dialogs;
    QStringList titles;
    dialogs.then(leave(&titles));
    QTest::keyClick(m_main.get(), Qt::Key(key), Qt::ControlModifier);
    QCOMPARE(titles, QStringList{chooser});
}

void TestDocumentCommands::roundTripThroughTheRealDialogs()
{
    addEntries({{"Baker", "Tom", "12-345-67"}, {"Adams", "", "555-01-00"}});
    MessageScript messages;
    ModalScript dialogs;
    dialogs.then(typeName("book"));
    QTest::keyClick(m_main.get(), Qt::Key_S, Qt::ControlModifier);
    QCOMPARE(contents("book.CVA"), QByteArray("Adams\r\n\r\n555-01-00\r\nBaker\r\nTom\r\n12-345-67\r\n"));
    QCOMPARE(contents("book.CVA").size(), 43);

    dialogs.then(typeName("other"));
    QTest::keyClick(m_main.get(), Qt::Key_N, Qt::ControlModifier);
    QCOMPARE(m_main->adrList()->listCount(), qint16(0));

    const QStringList before{m_main->MakeNewItem("Adams", "", "555-01-00"),
                             m_main->MakeNewItem("Baker", "Tom", "12-345-67")};
    dialogs.then(pickFile("book.CVA"));
    QTest::keyClick(m_main.get(), Qt::Key_O, Qt::ControlModifier);
    QCOMPARE(m_main->adrList()->items(), before);
    QCOMPARE(m_main->windowTitle(), path("book.CVA"));
    QVERIFY(messages.asked.isEmpty());
    QCOMPARE(dialogs.unexpected, 0);
}

QTEST_MAIN(TestDocumentCommands)
#include "test_document_commands.moc"

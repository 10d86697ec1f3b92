#include "app/main_window.h"
#include "core/entry_line.h"
#include "file_support.h"
#include "test_support.h"
#include "widgets/entry_list.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include <memory>

using namespace callvista;
using namespace callvista::testing;

namespace {

const QString Question = QStringLiteral("Callvista is Changed, Do you want to save your changes?");

// A chooser step that first notes the chooser's caption.
ModalScript::Step titled(QStringList* titles, ModalScript::Step step)
{
    return [titles, step = std::move(step)](QDialog& dialog) {
        titles->append(dialog.windowTitle());
        step(dialog);
    };
}

// A chooser step: leaves the chooser by Escape, choosing nothing.
ModalScript::Step leave()
{
    return [](QDialog& dialog) { QTest::keyClick(&dialog, Qt::Key_Escape); };
}

// The full path of a file in the current folder, as the chooser builds it.
QString path(const QString& name)
{
    return QDir::toNativeSeparators(QDir::current().absoluteFilePath(name));
}

// A file that a document was opened from gives way to a folder, where no
// document can be written.
void replaceByFolder(const QString& name)
{
    QVERIFY(QFile::remove(name));
    QVERIFY(QDir::current().mkdir(name));
}

// What the Find dialog shows when it opens: what it offers to search again.
struct ShownSearch {
    QString family;
    bool matchCase = false;
};

// Clicks Find once it is enabled: the buttons follow the list when the list
// gets the focus back, which comes with the window's activation after a
// dialog.
void clickFind(const QWidget& window)
{
    auto* find = child<QAbstractButton>(window, "FindCmd");
    QVERIFY2(QTest::qWaitFor([&] { return find->isEnabled(); }, 2000), "Find stays disabled");
    QTest::mouseClick(find, Qt::LeftButton);
}

// Opens Find, searches the family name, which must be found, and closes the
// dialog: the window remembers that search.
void findFamily(const QWidget& window, const QString& family, bool matchCase)
{
    MessageScript messages;
    ModalScript dialogs;
    dialogs.then([&](QDialog& dialog) {
        child<QLineEdit>(dialog, "Family")->setText(family);
        child<QCheckBox>(dialog, "MatchCheck")->setChecked(matchCase);
        QTest::mouseClick(child<QPushButton>(dialog, "FindCmd"), Qt::LeftButton);
        QTest::keyClick(&dialog, Qt::Key_Escape);
    });
    clickFind(window);
    QCOMPARE(dialogs.shown, QStringList{"FindForm"});
    QCOMPARE(messages.asked.size(), 0);
}

// Opens Find, notes what it shows and leaves it.
ShownSearch searchShown(const QWidget& window)
{
    ShownSearch shown{QStringLiteral("<Find did not open>")};
    ModalScript dialogs;
    dialogs.then([&](QDialog& dialog) {
        shown.family = child<QLineEdit>(dialog, "Family")->text();
        shown.matchCase = child<QCheckBox>(dialog, "MatchCheck")->isChecked();
        QTest::keyClick(&dialog, Qt::Key_Escape);
    });
    clickFind(window);
    return shown;
}

} // namespace

class TestDocumentCommands : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void saveAsOntoTheCurrentFileAsksFirst();
    void hiddenDocumentIsAskedAboutAndOpened();
    void longNameSavesAgainAndAgain_data();
    void longNameSavesAgainAndAgain();
    void openReplacesTheList();
    void memoryGoesBackWhenIdleAfterOpen();
    void openOfAnEmptyFileDisablesTheButtons();
    void documentNamedAtStart_data();
    void documentNamedAtStart();
    void closing_data();
    void closing();
    void shortcuts_data();
    void shortcuts();
    void roundTripThroughTheRealDialogs();

private:
    std::unique_ptr<ScratchFolder> m_temp;
    std::unique_ptr<UnexpectedWindows> m_unexpected;
    std::unique_ptr<MainWindow> m_main;
};

void TestDocumentCommands::init()
{
    m_temp = std::make_unique<ScratchFolder>();
    QVERIFY(!m_temp->path().isEmpty());
    m_unexpected = std::make_unique<UnexpectedWindows>();
    m_main = std::make_unique<MainWindow>();
    showActive(*m_main);
}

void TestDocumentCommands::cleanup()
{
    m_main.reset();
    const QString unexpected = m_unexpected->shown();
    m_unexpected.reset();
    m_temp.reset();
    QVERIFY2(unexpected.isEmpty(), qPrintable(unexpected));
}

void TestDocumentCommands::saveAsOntoTheCurrentFileAsksFirst()
{
    addEntries(*m_main, {{"Baker", "Tom", "12-345-67"}});
    ModalScript dialogs;
    dialogs.then(typeName("book"));
    runMenu(*m_main, "SaveAsMenu");
    QCOMPARE(m_main->windowTitle(), path("book.CVA"));
    QVERIFY(!asksAboutChanges(*m_main));

    addEntries(*m_main, {{"Adams", "Ann", "555-01-00"}});
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
    runMenu(*m_main, "SaveAsMenu");
    QCOMPARE(messages.asked.size(), 2);
    QCOMPARE(messages.asked.first().text,
             QStringLiteral("Are You Sure to OverWrite on '") + path("book.CVA") + "' ?");
    QCOMPARE(messages.asked.first().title, QStringLiteral("Warning"));
    QCOMPARE(messages.asked.first().buttons, MessageButtons::YesNo);
    QCOMPARE(readBytes("book.CVA"),
             QByteArray("Adams\r\nAnn\r\n555-01-00\r\nBaker\r\nTom\r\n12-345-67\r\n"));
    QVERIFY(!asksAboutChanges(*m_main));
}

void TestDocumentCommands::hiddenDocumentIsAskedAboutAndOpened()
{
    const QByteArray secret("Secret\r\nKept\r\n1\r\n");
    writeBytes(".secret.CVA", secret);
    addEntries(*m_main, {{"Baker", "Tom", "12-345-67"}});

    // A typed dot is discarded, a pasted one is not: the pasted name is
    // that of the hidden document, and replacing it is asked about.
    MessageScript messages;
    messages.answer(MessageAnswer::No);
    ModalScript dialogs;
    dialogs.then([](QDialog& dialog) {
        auto* name = child<QLineEdit>(dialog, "boxFileName");
        paste(name, QStringLiteral(".secret"), Paste::CtrlV);
        QCOMPARE(name->text(), QStringLiteral(".secret"));
        QTest::keyClick(name, Qt::Key_Return);
        QVERIFY(dialog.isVisible());
        QTest::keyClick(name, Qt::Key_Escape);
    });
    runMenu(*m_main, "SaveAsMenu");
    QCOMPARE(messages.asked.size(), 1);
    QCOMPARE(messages.asked.first().text,
             QStringLiteral("Are You Sure to OverWrite on '") + path(".secret.CVA") + "' ?");
    QCOMPARE(readBytes(".secret.CVA"), secret);
    QVERIFY(asksAboutChanges(*m_main));

    // A hidden document opens like any other.
    messages.answer(MessageAnswer::No);
    m_main->openAtStart(QStringLiteral(".secret.CVA"));
    QCOMPARE(m_main->windowTitle(), path(".secret.CVA"));
    QCOMPARE(families(*m_main), QStringList{"Secret"});
}

void TestDocumentCommands::longNameSavesAgainAndAgain_data()
{
    QTest::addColumn<int>("bytes");
    // The name with its extension, against the file system's 255.
    for (int bytes : {200, 249, 252, 255})
        QTest::newRow(qPrintable(QString::number(bytes))) << bytes;
}

void TestDocumentCommands::longNameSavesAgainAndAgain()
{
    QFETCH(int, bytes);
#ifdef Q_OS_WIN
    // Windows counts a name in UTF-16 units. Plain letters: under wine the
    // name is stored on a Linux file system, which counts UTF-8 bytes.
    const QString stem(bytes - 4, u'n');
    const QString name = stem + QStringLiteral(".CVA");
    QCOMPARE(name.size(), bytes);
#else
    // Two bytes a letter: the limit is in bytes, not in letters.
    const QString stem = QString(bytes / 2 - 2, QChar(0x00E9)) + QString(bytes % 2, u'x');
    const QString name = stem + QStringLiteral(".CVA");
    QCOMPARE(QFile::encodeName(name).size(), bytes);
#endif

    addEntries(*m_main, {{"Baker", "Tom", "12-345-67"}});
    ModalScript dialogs;
    dialogs.then([&](QDialog& dialog) {
        auto* box = child<QLineEdit>(dialog, "boxFileName");
        paste(box, stem, Paste::CtrlV);
        QTest::keyClick(box, Qt::Key_Return);
    });
    runMenu(*m_main, "SaveAsMenu");
    QCOMPARE(m_main->windowTitle(), path(name));
    for (const char* family : {"Adams", "Clark", "Dean"}) {
        addEntries(*m_main, {{family, "Ann", "555"}});
        runMenu(*m_main, "SaveMenu");
        QVERIFY2(!asksAboutChanges(*m_main), family);
    }
    QCOMPARE(readBytes(name).count("\r\n"), 12);
    QCOMPARE(QDir::current().entryList(QDir::Files | QDir::Hidden), QStringList{name});
}

void TestDocumentCommands::openReplacesTheList()
{
    writeBytes("book.CVA", "Zeta\r\nZ\r\n9\r\nAdams\r\n\r\n555\r\n");
    addEntries(*m_main, {{"Baker", "Tom", "12-345-67"}});
    findFamily(*m_main, "Bak", true);
    const ShownSearch remembered = searchShown(*m_main);
    QCOMPARE(remembered.family, QStringLiteral("Bak"));
    QVERIFY(remembered.matchCase);

    MessageScript messages;
    messages.answer(MessageAnswer::No);
    ModalScript dialogs;
    dialogs.then(pickFile("book.CVA"));
    runMenu(*m_main, "OpenMenu");

    QCOMPARE(messages.asked.size(), 1);
    QCOMPARE(families(*m_main), (QStringList{"Adams", "Zeta"}));
    QCOMPARE(m_main->windowTitle(), path("book.CVA"));
    QVERIFY(child(*m_main, "EditCmd")->isEnabled());
    QVERIFY(child(*m_main, "DelCmd")->isEnabled());
    QVERIFY(child(*m_main, "FindCmd")->isEnabled());
    QVERIFY(!asksAboutChanges(*m_main));
    // The opened document offers no search of the one before.
    const ShownSearch offered = searchShown(*m_main);
    QCOMPARE(offered.family, QString());
    QVERIFY(!offered.matchCase);
}

// The resident memory of the process, in KiB, or -1 where it cannot be read.
long residentKb()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    // Read whole: the file reports a size of 0, so atEnd() is true at once.
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').value(0).toLong();
    return -1;
}

void TestDocumentCommands::memoryGoesBackWhenIdleAfterOpen()
{
#if !defined(__GLIBC__) || defined(__SANITIZE_ADDRESS__)
    QSKIP("only glibc's allocator is asked to give memory back");
#else
    // Lines out of order are ordered and copied afresh, which frees the
    // lines as they were read: several MiB the allocator keeps until it is
    // asked to give them back.
    QByteArray bytes;
    for (int i = MaxEntries - 1; i >= 0; --i)
        bytes += QStringLiteral("Family %1\r\nShort\r\n555-0100\r\n")
                     .arg(i, 5, 10, QChar(u'0'))
                     .toUtf8();
    writeBytes("shuffled.CVA", bytes);
    ModalScript dialogs;
    dialogs.then(pickFile("shuffled.CVA"));
    runMenu(*m_main, "OpenMenu");
    QCOMPARE(entryList(*m_main)->count(), MaxEntries);

    const long opened = residentKb();
    QVERIFY(opened > 0);
    QTRY_VERIFY_WITH_TIMEOUT(residentKb() < opened - 3 * 1024, 5000);
    QCOMPARE(entryList(*m_main)->itemText(0).left(12), QStringLiteral("Family 00000"));
#endif
}

void TestDocumentCommands::openOfAnEmptyFileDisablesTheButtons()
{
    writeBytes("empty.CVA", "");
    // Adding leaves the focus in the list, and the buttons follow it.
    addEntries(*m_main, {{"Baker", "Tom", "12-345-67"}});
    QVERIFY(child(*m_main, "EditCmd")->isEnabled());
    MessageScript messages;
    messages.answer(MessageAnswer::No);
    ModalScript dialogs;
    dialogs.then(pickFile("empty.CVA"));
    runMenu(*m_main, "OpenMenu");
    QCOMPARE(messages.asked.size(), 1);
    QCOMPARE(entryList(*m_main)->count(), int(0));
    QCOMPARE(m_main->windowTitle(), path("empty.CVA"));
    QVERIFY(!child(*m_main, "EditCmd")->isEnabled());
    QVERIFY(!child(*m_main, "DelCmd")->isEnabled());
    QVERIFY(!child(*m_main, "FindCmd")->isEnabled());
    QVERIFY(!asksAboutChanges(*m_main));
}

void TestDocumentCommands::documentNamedAtStart_data()
{
    QTest::addColumn<QString>("given");
    QTest::addColumn<QString>("opened");
    QTest::addColumn<QStringList>("entries");
    QTest::addColumn<QString>("toldTitle");
    QTest::addColumn<QString>("told");

    QTest::newRow("relative name, read and sorted")
        << "sub/../book.CVA"
        << "book.CVA" << QStringList{"Adams", "Zeta"} << ""
        << "";
    QTest::newRow("lower-case extension") << "book.cva"
                                          << "book.cva" << QStringList{"Adams", "Zeta"} << ""
                                          << "";
    QTest::newRow("mended file opens with its warning")
        << "half.CVA"
        << "half.CVA" << QStringList{"Half"} << "Warning"
        << "last entry";
    QTest::newRow("missing file leaves the untitled document") << "gone.CVA"
                                                               << "" << QStringList{} << "Error"
                                                               << "gone.CVA";
    QTest::newRow("folder is refused") << "sub"
                                       << "" << QStringList{} << "Error"
                                       << "sub";
}

void TestDocumentCommands::documentNamedAtStart()
{
    QFETCH(QString, given);
    QFETCH(QString, opened);
    QFETCH(QStringList, entries);
    QFETCH(QString, toldTitle);
    QFETCH(QString, told);

    QVERIFY(QDir().mkdir(QStringLiteral("sub")));
    writeBytes("book.CVA", "Zeta\r\nZ\r\n9\r\nAdams\r\n\r\n555\r\n");
    writeBytes("book.cva", "Zeta\r\nZ\r\n9\r\nAdams\r\n\r\n555\r\n");
    writeBytes("half.CVA", "Half\r\nH\r\n");

    MessageScript messages;
    MainWindow window;
    window.openAtStart(given);
    // Nothing is said before the window is up: the message waits for the
    // event loop.
    QCOMPARE(messages.asked.size(), 0);
    QCOMPARE(families(window), entries);
    QCOMPARE(window.windowTitle(), opened.isEmpty() ? QStringLiteral("<Untitled>") : path(opened));
    showActive(window);
    if (toldTitle.isEmpty()) {
        // A message would be shown from the event loop's next turn.
        QCoreApplication::processEvents();
        QCoreApplication::processEvents();
        QCOMPARE(messages.asked.size(), 0);
    } else {
        QTRY_COMPARE(messages.asked.size(), 1);
        QCOMPARE(messages.asked.first().title, toldTitle);
        // A refusal names the file by its full path.
        const QString named = toldTitle == QLatin1String("Error") ? path(told) : told;
        QVERIFY2(messages.asked.first().text.contains(named),
                 qPrintable(messages.asked.first().text));
    }
    // Buttons follow the list, and nothing counts as a change.
    QCOMPARE(child(window, "EditCmd")->isEnabled(), !entries.isEmpty());
    QCOMPARE(child(window, "FindCmd")->isEnabled(), !entries.isEmpty());
    QVERIFY(!asksAboutChanges(window));
}

void TestDocumentCommands::closing_data()
{
    QTest::addColumn<QString>("document");
    QTest::addColumn<bool>("changed");
    QTest::addColumn<bool>("replacedByFolder");
    QTest::addColumn<MessageAnswer>("answer");
    QTest::addColumn<bool>("closes");
    QTest::addColumn<QByteArray>("written");

    // The session's test has every answer; these rows check that the
    // window closes, or stays open, as the session decides. The document,
    // where one is opened, holds Adams; a change adds Baker. `written` is
    // what book.CVA holds afterwards.
    const QByteArray none("<missing>");
    const QByteArray adams("Adams\r\nAnn\r\n555-01-00\r\n");
    const QByteArray both = adams + "Baker\r\nTom\r\n12-345-67\r\n";
    QTest::newRow("unchanged closes without a question")
        << "book.CVA" << false << false << MessageAnswer::Ok << true << adams;
    QTest::newRow("yes writes and closes")
        << "book.CVA" << true << false << MessageAnswer::Yes << true << both;
    QTest::newRow("yes with a failing save stays open")
        << "folder.CVA" << true << true << MessageAnswer::Yes << false << none;
}

void TestDocumentCommands::closing()
{
    QFETCH(QString, document);
    QFETCH(bool, changed);
    QFETCH(bool, replacedByFolder);
    QFETCH(MessageAnswer, answer);
    QFETCH(bool, closes);
    QFETCH(QByteArray, written);

    if (!document.isEmpty()) {
        writeBytes(document, "Adams\r\nAnn\r\n555-01-00\r\n");
        openDocument(*m_main, document);
    }
    if (changed)
        addEntries(*m_main, {{"Baker", "Tom", "12-345-67"}});
    if (replacedByFolder)
        replaceByFolder(document);
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
    QCOMPARE(readBytes("book.CVA"), written);
    if (!closes) {
        QCOMPARE(messages.asked.size(), 2);
        QCOMPARE(messages.asked.at(1).title, QStringLiteral("Error"));
        QVERIFY(asksAboutChanges(*m_main));
    }
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
    dialogs.then(titled(&titles, leave()));
    QTest::keyClick(m_main.get(), Qt::Key(key), Qt::ControlModifier);
    QCOMPARE(titles, QStringList{chooser});
}

void TestDocumentCommands::roundTripThroughTheRealDialogs()
{
    // Adams has no short name, as a document may bring it; Baker is typed in.
    putEntries(*m_main, {{"Adams", "", "555-01-00"}});
    addEntries(*m_main, {{"Baker", "Tom", "12-345-67"}});
    MessageScript messages;
    ModalScript dialogs;
    dialogs.then(typeName("book"));
    QTest::keyClick(m_main.get(), Qt::Key_S, Qt::ControlModifier);
    QCOMPARE(readBytes("book.CVA"),
             QByteArray("Adams\r\n\r\n555-01-00\r\nBaker\r\nTom\r\n12-345-67\r\n"));
    QCOMPARE(readBytes("book.CVA").size(), 43);

    dialogs.then(typeName("other"));
    QTest::keyClick(m_main.get(), Qt::Key_N, Qt::ControlModifier);
    QCOMPARE(entryList(*m_main)->count(), int(0));
    QCOMPARE(m_main->windowTitle(), path("other.CVA"));

    const QStringList before{makeEntryLine("Adams", "", "555-01-00"),
                             makeEntryLine("Baker", "Tom", "12-345-67")};
    dialogs.then(pickFile("book.CVA"));
    QTest::keyClick(m_main.get(), Qt::Key_O, Qt::ControlModifier);
    QCOMPARE(entryList(*m_main)->items(), before);
    QCOMPARE(m_main->windowTitle(), path("book.CVA"));
    QVERIFY(messages.asked.isEmpty());
    QCOMPARE(dialogs.shown, (QStringList{"FileBox", "FileBox", "FileBox"}));
    QCOMPARE(dialogs.unexpected, 0);
}

QTEST_MAIN(TestDocumentCommands)
#include "test_document_commands.moc"

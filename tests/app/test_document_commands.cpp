#include "app/main_window.h"
#include "core/entry_line.h"
#include "file_support.h"
#ifndef Q_OS_WIN
#include "posix_faults.h"
#endif
#include "test_support.h"
#include "widgets/entry_list.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
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
    void saveOnUntitledGoesThroughSaveAs();
    void questionBeforeNewAndOpen_data();
    void questionBeforeNewAndOpen();
    void newAfterYesSavesThenStartsAfresh();
    void newStopsWhenTheSaveFails();
    void newThenExitAsksNothingAndWritesNothing();
    void saveAsOntoTheCurrentFileAsksFirst();
    void saveWritesAgainWithoutAQuestion();
    void hiddenDocumentIsAskedAboutAndOpened();
    void longNameSavesAgainAndAgain_data();
    void longNameSavesAgainAndAgain();
    void openReplacesTheList();
    void memoryGoesBackWhenIdleAfterOpen();
    void openOfAnEmptyFileDisablesTheButtons();
    void openRefusedKeepsTheDocument_data();
    void openRefusedKeepsTheDocument();
    void openTellsWhatTheReaderMended_data();
    void openTellsWhatTheReaderMended();
    void documentNamedAtStart_data();
    void documentNamedAtStart();
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

void TestDocumentCommands::saveOnUntitledGoesThroughSaveAs()
{
    addEntries(*m_main, {{"Baker", "Tom", "12-345-67"}});
    ModalScript dialogs;
    QStringList titles;
    dialogs.then(titled(&titles, leave()));
    runMenu(*m_main, "SaveMenu");
    QCOMPARE(titles, QStringList{"Save as to"});
    QCOMPARE(m_main->windowTitle(), QStringLiteral("<Untitled>"));
    QVERIFY(asksAboutChanges(*m_main));
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
        << false << MessageAnswer::Yes
        << QStringList{"Save as to", "Enter a New Callvista FileName"};
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

    addEntries(*m_main, {{"Baker", "Tom", "12-345-67"}});
    MessageScript messages;
    messages.answer(answer);
    ModalScript dialogs;
    QStringList titles;
    dialogs.then(titled(&titles, leave()));
    dialogs.then(titled(&titles, leave()));
    runMenu(*m_main, open ? "OpenMenu" : "NewMenu");

    QCOMPARE(messages.asked.size(), 1);
    QCOMPARE(messages.asked.first().text, Question);
    QCOMPARE(messages.asked.first().title, QStringLiteral("Alert"));
    QCOMPARE(messages.asked.first().buttons, MessageButtons::YesNoCancel);
    QCOMPARE(titles, choosers);
    // Every chooser was left, so nothing changed.
    QCOMPARE(families(*m_main), QStringList{"Baker"});
    QCOMPARE(m_main->windowTitle(), QStringLiteral("<Untitled>"));
    QVERIFY(QDir::current().entryList(QDir::Files).isEmpty());
    QVERIFY(asksAboutChanges(*m_main));
}

void TestDocumentCommands::newAfterYesSavesThenStartsAfresh()
{
    writeBytes("book.CVA", "Old\r\nx\r\n1\r\n");
    openDocument(*m_main, "book.CVA");
    QCOMPARE(m_main->windowTitle(), path("book.CVA"));
    addEntries(*m_main, {{"Baker", "Tom", "12-345-67"}});
    findFamily(*m_main, "Bak", false);
    QCOMPARE(searchShown(*m_main).family, QStringLiteral("Bak"));

    MessageScript messages;
    messages.answer(MessageAnswer::Yes);
    ModalScript dialogs;
    dialogs.then(typeName("fresh"));
    runMenu(*m_main, "NewMenu");

    // The named document is written without a chooser; New's is the only one.
    QCOMPARE(dialogs.shown, QStringList{"FileBox"});
    QCOMPARE(messages.asked.size(), 1);
    QCOMPARE(readBytes("book.CVA"), QByteArray("Baker\r\nTom\r\n12-345-67\r\nOld\r\nx\r\n1\r\n"));
    QCOMPARE(entryList(*m_main)->count(), int(0));
    QCOMPARE(m_main->windowTitle(), path("fresh.CVA"));
    QVERIFY(!QFile::exists("fresh.CVA"));
    QVERIFY(!asksAboutChanges(*m_main));
    // The new document does not offer the old one's search.
    addEntries(*m_main, {{"Baker", "Tom", "12-345-67"}});
    QCOMPARE(searchShown(*m_main).family, QString());
}

void TestDocumentCommands::newStopsWhenTheSaveFails()
{
    writeBytes("taken.CVA", "");
    openDocument(*m_main, "taken.CVA");
    addEntries(*m_main, {{"Baker", "Tom", "12-345-67"}});
    replaceByFolder("taken.CVA");
    MessageScript messages;
    messages.answer(MessageAnswer::Yes);
    messages.answer(MessageAnswer::Ok);
    ModalScript dialogs;
    dialogs.then(typeName("fresh"));
    runMenu(*m_main, "NewMenu");
    // The changes could not be written: New ends before its chooser.
    QVERIFY(dialogs.shown.isEmpty());
    QCOMPARE(messages.asked.size(), 2);
    QCOMPARE(messages.asked.at(1).title, QStringLiteral("Error"));
    QCOMPARE(families(*m_main), QStringList{"Baker"});
    QCOMPARE(m_main->windowTitle(), path("taken.CVA"));
    QVERIFY(asksAboutChanges(*m_main));
}

void TestDocumentCommands::newThenExitAsksNothingAndWritesNothing()
{
    MessageScript messages;
    ModalScript dialogs;
    dialogs.then(typeName("fresh"));
    runMenu(*m_main, "NewMenu");
    QCOMPARE(m_main->windowTitle(), path("fresh.CVA"));
    runMenu(*m_main, "ExitMenu");
    QVERIFY(!m_main->isVisible());
    QVERIFY(messages.asked.isEmpty());
    QVERIFY(QDir::current().entryList(QDir::Files).isEmpty());
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

void TestDocumentCommands::saveWritesAgainWithoutAQuestion()
{
    const QByteArray baker("Baker\r\nTom\r\n12-345-67\r\n");
    writeBytes("book.CVA", baker);
    openDocument(*m_main, "book.CVA");
    QVERIFY(!asksAboutChanges(*m_main));
    // Someone else writes the file; Save puts the unchanged document back.
    writeBytes("book.CVA", "something else\r\n");
    MessageScript messages;
    ModalScript dialogs;
    runMenu(*m_main, "SaveMenu");
    QVERIFY(messages.asked.isEmpty());
    QVERIFY(dialogs.shown.isEmpty());
    QCOMPARE(readBytes("book.CVA"), baker);
    QCOMPARE(m_main->windowTitle(), path("book.CVA"));
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
    writeBytes("kept.CVA", "");
    openDocument(*m_main, "kept.CVA");
    addEntries(*m_main, {{"Baker", "Tom", "12-345-67"}});

    const QString name = QStringLiteral("bad.CVA");
    writeBytes(name, "x\r\n");
    if (kind == "huge") {
        QFile file(name);
        QVERIFY(file.open(QIODevice::ReadWrite));
        QVERIFY(file.resize(64 * 1024 * 1024));
    } else if (kind == "many") {
        writeBytes(name, QByteArray("a\r\nb\r\n1\r\n").repeated(MaxEntries + 1));
    }

    MessageScript messages;
    messages.answer(MessageAnswer::No);
    messages.answer(MessageAnswer::Ok);
    ModalScript dialogs;
    dialogs.then([&](QDialog& dialog) {
        // The chooser listed the file when it opened; it goes before the pick.
        if (kind == "missing")
            QVERIFY(QFile::remove(name));
        pickFile(name)(dialog);
    });
    runMenu(*m_main, "OpenMenu");

    QCOMPARE(dialogs.shown, QStringList{"FileBox"});
    QCOMPARE(messages.asked.size(), 2);
    QCOMPARE(messages.asked.at(1).title, QStringLiteral("Error"));
    QVERIFY2(messages.asked.at(1).text.contains(path(name)), qPrintable(messages.asked.at(1).text));
    QCOMPARE(families(*m_main), QStringList{"Baker"});
    QCOMPARE(m_main->windowTitle(), path("kept.CVA"));
    QVERIFY(asksAboutChanges(*m_main));
}

void TestDocumentCommands::openTellsWhatTheReaderMended_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<int>("entries");
    QTest::addColumn<QStringList>("told");

    // Each count in English, for one and for more.
    QTest::newRow("overlong value and an incomplete last entry")
        << QByteArray(40, 'L') + "\r\nshort\r\n1\r\nLast\r\nhalf\r\n"
        << 2
        << QStringList{"1 value was longer than its column and was shortened; saving will "
                       "store it shortened.",
                       "The file ended inside its last entry; its missing fields are empty."};
    QTest::newRow("two overlong values")
        << QByteArray(40, 'L') + "\r\n" + QByteArray(25, 'S') + "\r\n1\r\n"
        << 1
        << QStringList{"2 values were longer than their column and were shortened; saving will "
                       "store them shortened."};
    // Where the system's code page is not UTF-8 (Windows), a line in it is
    // the system's own text, read without a word; elsewhere it is mended.
    QTest::newRow("one Windows-1252 line among UTF-8 ones")
        << QByteArray("M\xc3\xbcller\r\nA\r\n1\r\nJ\xe4ger\r\nB\r\n2\r\n") << 2
#ifdef Q_OS_WIN
        << QStringList{};
#else
        << QStringList{"1 line was not UTF-8 text and was read as Windows-1252."};
#endif
    QTest::newRow("two Windows-1252 lines among UTF-8 ones")
        << QByteArray("M\xc3\xbcller\r\nA\r\n1\r\nJ\xe4ger\r\nB\xe4r\r\n2\r\n") << 2
#ifdef Q_OS_WIN
        << QStringList{};
#else
        << QStringList{"2 lines were not UTF-8 text and were read as Windows-1252."};
#endif
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
    runMenu(*m_main, "OpenMenu");
    QCOMPARE(entryList(*m_main)->count(), int(entries));
    QCOMPARE(m_main->windowTitle(), path("mended.CVA"));
    if (told.isEmpty()) {
        QVERIFY(messages.asked.isEmpty());
        QCOMPARE(families(*m_main),
                 (QStringList{QStringLiteral("J\u00e4ger"), QStringLiteral("M\u00fcller")}));
        QVERIFY(!asksAboutChanges(*m_main));
        return;
    }
    QCOMPARE(messages.asked.size(), 1);
    QCOMPARE(messages.asked.first().title, QStringLiteral("Warning"));
    QCOMPARE(messages.asked.first().buttons, MessageButtons::Ok);
    // The warning names the file it is about, then says what was mended.
    const QString text = messages.asked.first().text;
    QVERIFY2(text.startsWith("\"" + path("mended.CVA") + "\" was opened with these repairs:\n"),
             qPrintable(text));
    for (const QString& note : told)
        QVERIFY2(text.contains(note), qPrintable(text));
    QCOMPARE(text.count(u'\n'), told.size());
    // What the reader mended is not a change of the document.
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

void TestDocumentCommands::failingSaveKeepsNameAndFlag_data()
{
    QTest::addColumn<bool>("saveAs");
    QTest::newRow("save onto a folder") << false;
    QTest::newRow("save as onto a folder") << true;
}

void TestDocumentCommands::failingSaveKeepsNameAndFlag()
{
    QFETCH(bool, saveAs);
    if (saveAs) {
        QVERIFY(QDir::current().mkdir("taken.CVA"));
    } else {
        writeBytes("taken.CVA", "");
        openDocument(*m_main, "taken.CVA");
    }
    const QString previous = m_main->windowTitle();
    QCOMPARE(previous, saveAs ? QStringLiteral("<Untitled>") : path("taken.CVA"));
    addEntries(*m_main, {{"Baker", "Tom", "12-345-67"}});
    if (!saveAs)
        replaceByFolder("taken.CVA");

    MessageScript messages;
    ModalScript dialogs;
    dialogs.then(typeName("taken"));
    runMenu(*m_main, saveAs ? "SaveAsMenu" : "SaveMenu");

    QCOMPARE(dialogs.shown.size(), saveAs ? 1 : 0);
    QCOMPARE(messages.asked.size(), 1);
    QCOMPARE(messages.asked.first().title, QStringLiteral("Error"));
    QVERIFY(messages.asked.first().text.contains(path("taken.CVA")));
    QCOMPARE(m_main->windowTitle(), previous);
    QVERIFY(QFileInfo(QStringLiteral("taken.CVA")).isDir());
    QVERIFY(asksAboutChanges(*m_main));
}

void TestDocumentCommands::realWriteFailureKeepsEverything_data()
{
    QTest::addColumn<QString>("fault");
    QTest::addColumn<int>("entries");
    QTest::addColumn<QString>("reason");

#ifndef Q_OS_WIN
    // A size limit and a tiny file system are POSIX's; the core's tests fail
    // saves on Windows through a read-only file and one held open.
    QTest::newRow("size limit, document under one buffer")
        << "size limit" << 200 << "File too large.";
    QTest::newRow("size limit, large document") << "size limit" << 3000 << "File too large.";
    QTest::newRow("full disk, document under one buffer")
        << "full disk" << 200 << "No space left on device.";
    QTest::newRow("full disk, large document") << "full disk" << 3000 << "No space left on device.";
#endif
    QTest::newRow("line break put into the list behind the dialogs' back")
        << "line break" << 3 << "holds a line break, which a document cannot store.";
}

void TestDocumentCommands::realWriteFailureKeepsEverything()
{
    QFETCH(QString, fault);
    QFETCH(int, entries);
    QFETCH(QString, reason);

#ifdef Q_OS_WIN
    struct NoDisk {
        QString path() const { return {}; }
        bool fill() const { return true; }
    };
    std::unique_ptr<NoDisk> disk;
#else
    std::unique_ptr<TinyFileSystem> disk;
    if (fault == "full disk") {
        // Room for the document as it is opened, and no more once filled.
        disk = std::make_unique<TinyFileSystem>(256);
        if (!disk->mounted())
            QSKIP(qPrintable("a full disk is made by mounting a tiny tmpfs, which is not allowed "
                             "here: "
                             + disk->why()));
    }
#endif
    // The document is opened from its folder; the tiny file system is left
    // before it is unmounted.
    const CurrentFolderKept back;
    const QString folder = disk ? disk->path() : m_temp->path();
    QVERIFY(QDir::setCurrent(folder));
    const QByteArray old = documentOf(entries);
    writeBytes("book.CVA", old);
    openDocument(*m_main, "book.CVA");
    if (QTest::currentTestFailed())
        return;
    const QString document = path("book.CVA");
    QCOMPARE(m_main->windowTitle(), document);
    QCOMPARE(int(entryList(*m_main)->count()), entries);
    if (fault == "line break")
        QVERIFY(entryList(*m_main)->addItem(QStringLiteral("Miller\n").leftJustified(30) + "|"
                                            + QString(20, u' ') + "|" + QString(20, u' ')));
    addEntries(*m_main, {{"Zeta", "Added", "555-0199"}});
    if (disk)
        QVERIFY(disk->fill());
    const QStringList before = QDir(folder).entryList(QDir::AllEntries | QDir::Hidden);

    MessageScript messages;
    {
#ifndef Q_OS_WIN
        std::unique_ptr<FileSizeLimit> limit;
        if (fault == "size limit") {
            limit = std::make_unique<FileSizeLimit>(4096);
            QVERIFY(limit->isSet());
        }
#endif
        runMenu(*m_main, "SaveMenu");
    }
    QCOMPARE(messages.asked.size(), 1);
    QCOMPARE(messages.asked.first().title, QStringLiteral("Error"));
    QVERIFY2(messages.asked.first().text.contains(document),
             qPrintable(messages.asked.first().text));
    QVERIFY2(messages.asked.first().text.endsWith(reason), qPrintable(messages.asked.first().text));
    QCOMPARE(m_main->windowTitle(), document);
    QCOMPARE(readBytes(document), old);
    QCOMPARE(QDir(folder).entryList(QDir::AllEntries | QDir::Hidden), before);
    QVERIFY(families(*m_main).contains(QStringLiteral("Zeta")));

    // The changes are still unsaved, so closing asks about them.
    messages.answer(MessageAnswer::No);
    QVERIFY(m_main->close());
    QCOMPARE(messages.asked.size(), 2);
    QCOMPARE(messages.asked.last().title, QStringLiteral("Alert"));
    QCOMPARE(messages.asked.last().text, Question);
}

void TestDocumentCommands::closing_data()
{
    QTest::addColumn<QString>("document");
    QTest::addColumn<bool>("changed");
    QTest::addColumn<bool>("replacedByFolder");
    QTest::addColumn<MessageAnswer>("answer");
    QTest::addColumn<bool>("closes");
    QTest::addColumn<QByteArray>("written");

    // The document, where one is opened, holds Adams; a change adds Baker.
    // `written` is what book.CVA holds afterwards.
    const QByteArray none("<missing>");
    const QByteArray adams("Adams\r\nAnn\r\n555-01-00\r\n");
    const QByteArray both = adams + "Baker\r\nTom\r\n12-345-67\r\n";
    QTest::newRow("unchanged closes without a question")
        << "book.CVA" << false << false << MessageAnswer::Ok << true << adams;
    QTest::newRow("no closes without writing")
        << "book.CVA" << true << false << MessageAnswer::No << true << adams;
    QTest::newRow("yes writes and closes")
        << "book.CVA" << true << false << MessageAnswer::Yes << true << both;
    QTest::newRow("yes on untitled, chooser left, closes")
        << "" << true << false << MessageAnswer::Yes << true << none;
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

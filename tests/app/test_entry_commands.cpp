#include "app/main_window.h"
#include "core/entry_line.h"
#include "test_support.h"
#include "widgets/entry_list.h"

#include <QAbstractButton>
#include <QAction>
#include <QCheckBox>
#include <QClipboard>
#include <QDir>
#include <QGuiApplication>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

#include <functional>
#include <memory>

// What the main window does around the Add, Edit and Find dialogs, driven
// through its buttons and its list: which dialog opens on what, where the
// focus and the buttons stand afterwards, how the list and the document
// change, and the search that Find offers again. The dialogs on their own
// are tested in test_entry_dialogs.cpp and test_find_form.cpp.

using namespace callvista;
using namespace callvista::testing;

namespace {

QLineEdit* box(const QWidget& form, const char* name)
{
    return child<QLineEdit>(form, name);
}

QStringList boxTexts(const QWidget& form)
{
    return {box(form, "Family")->text(), box(form, "Short")->text(), box(form, "Phone")->text()};
}

// What the Find dialog shows: its three boxes and its two options.
QString findShows(const QWidget& form)
{
    return QStringLiteral("'%1' '%2' '%3' match %4 whole %5")
        .arg(box(form, "Family")->text(), box(form, "Short")->text(), box(form, "Phone")->text())
        .arg(child<QCheckBox>(form, "MatchCheck")->isChecked())
        .arg(child<QCheckBox>(form, "WholeCheck")->isChecked());
}

QString findShows(const QStringList& boxes, bool matchCase, bool wholeWord)
{
    return QStringLiteral("'%1' '%2' '%3' match %4 whole %5")
        .arg(boxes.value(0), boxes.value(1), boxes.value(2))
        .arg(matchCase)
        .arg(wholeWord);
}

bool enabled(const QWidget& window, const char* name)
{
    return child(window, name)->isEnabled();
}

void click(const QWidget& window, const char* name)
{
    QTest::mouseClick(child<QAbstractButton>(window, name), Qt::LeftButton);
}

QPoint entryCenter(const QWidget& window, int row)
{
    const EntryList* list = entryList(window);
    return list->visualRect(list->model()->index(row, 0)).center();
}

// A click on the entry's line selects it and gives the list the focus.
void clickEntry(const QWidget& window, int row)
{
    QTest::mouseClick(entryList(window)->viewport(), Qt::LeftButton, {}, entryCenter(window, row));
}

void doubleClickEntry(const QWidget& window, int row)
{
    QWidget* viewport = entryList(window)->viewport();
    QTest::mouseClick(viewport, Qt::LeftButton, {}, entryCenter(window, row));
    QTest::mouseDClick(viewport, Qt::LeftButton, {}, entryCenter(window, row));
}

// The list takes the focus, as by Tab, and selects nothing.
void focusList(const QWidget& window)
{
    entryList(window)->setFocus(Qt::TabFocusReason);
    QTRY_COMPARE(focused(), entryList(window));
}

// Does what a person does to the main window and runs the step in the dialog
// it opens. Returns the names of the dialogs that were shown.
QStringList openDialog(const std::function<void()>& action,
                       const std::function<void(QDialog&)>& step)
{
    ModalScript dialogs;
    dialogs.then([&](QDialog& dialog) {
        QVERIFY(activated(dialog));
        step(dialog);
    });
    action();
    return dialogs.shown;
}

QStringList clickCommand(const QWidget& window, const char* button,
                         const std::function<void(QDialog&)>& step)
{
    return openDialog([&] { click(window, button); }, step);
}

} // namespace

class TestEntryCommands : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void commandsOpenTheirDialogs_data();
    void commandsOpenTheirDialogs();
    void addEndsOnTheList_data();
    void addEndsOnTheList();

    void editMovesTheEntry();
    void editWithoutChangeMarksTheDocument();
    void editWithoutSelectionTakesTheFirst();
    void editLeftWithoutEditingChangesNothing_data();
    void editLeftWithoutEditingChangesNothing();
    void pastedLineBreaksSurviveSaving_data();
    void pastedLineBreaksSurviveSaving();

    void findOpensOnTheFirstEntry();
    void findOffersTheLastFoundSearch_data();
    void findOffersTheLastFoundSearch();
    void newAndOpenForgetTheSearch_data();
    void newAndOpenForgetTheSearch();
    void emptyListOpensNothing_data();
    void emptyListOpensNothing();

private:
    // Each test runs in a folder of its own, where the chooser starts.
    std::unique_ptr<ScratchFolder> m_folder;
    std::unique_ptr<MainWindow> m_main;
};

void TestEntryCommands::init()
{
    m_folder = std::make_unique<ScratchFolder>();
    QVERIFY(!m_folder->path().isEmpty());
    m_main = std::make_unique<MainWindow>();
    showActive(*m_main);
}

void TestEntryCommands::cleanup()
{
    m_main.reset();
    m_folder.reset();
}

void TestEntryCommands::commandsOpenTheirDialogs_data()
{
    QTest::addColumn<QString>("button");
    QTest::addColumn<QString>("dialog");
    QTest::addColumn<QStringList>("boxes");

    QTest::newRow("Add button") << "AddCmd"
                                << "AddForm" << QStringList{"", "", ""};
    QTest::newRow("Edit button") << "EditCmd"
                                 << "EditForm" << QStringList{"Baker", "Tom", "12"};
    QTest::newRow("double click") << QString() << "EditForm" << QStringList{"Baker", "Tom", "12"};
    QTest::newRow("Find button") << "FindCmd"
                                 << "FindForm" << QStringList{"", "", ""};
}

void TestEntryCommands::commandsOpenTheirDialogs()
{
    QFETCH(QString, button);
    QFETCH(QString, dialog);
    QFETCH(QStringList, boxes);

    putEntries(*m_main,
               {{"Adams", "Ann", "123"}, {"Baker", "Tom", "12"}, {"Smith", "John", "555"}});
    clickEntry(*m_main, 1);
    QCOMPARE(entryList(*m_main)->currentRow(), int(1));
    QStringList shownBoxes;
    const QStringList shown = openDialog(
        [&] {
            if (button.isEmpty())
                doubleClickEntry(*m_main, 1);
            else
                click(*m_main, qPrintable(button));
        },
        [&](QDialog& opened) {
            shownBoxes = boxTexts(opened);
            press(Qt::Key_Escape);
        });
    QCOMPARE(shown, QStringList{dialog});
    QCOMPARE(shownBoxes, boxes);
    QCOMPARE(entryList(*m_main)->currentRow(), int(1));
    QCOMPARE(entryList(*m_main)->count(), int(3));
    QVERIFY(!asksAboutChanges(*m_main));
}

void TestEntryCommands::addEndsOnTheList_data()
{
    QTest::addColumn<QList<QStringList>>("before");
    QTest::addColumn<QList<QStringList>>("typed");
    QTest::addColumn<QStringList>("after");
    QTest::addColumn<bool>("changed");
    QTest::addColumn<bool>("buttons");

    using Entries = QList<QStringList>;
    QTest::newRow("two added to an empty list")
        << Entries{} << Entries{{"Smith", "John", "555"}, {"adams", "Ann", "0"}}
        << QStringList{"adams", "Smith"} << true << true;
    QTest::newRow("one added to a list")
        << Entries{{"Baker", "Tom", "12"}} << Entries{{"Smith", "John", "+49-555-12"}}
        << QStringList{"Baker", "Smith"} << true << true;
    QTest::newRow("none added to an empty list")
        << Entries{} << Entries{} << QStringList{} << false << false;
    QTest::newRow("none added to a list")
        << Entries{{"Baker", "Tom", "12"}} << Entries{} << QStringList{"Baker"} << false << true;
    QTest::newRow("only a refused entry")
        << Entries{{"Baker", "Tom", "12"}} << Entries{{"Smith", "", "555"}} << QStringList{"Baker"}
        << false << true;
}

void TestEntryCommands::addEndsOnTheList()
{
    QFETCH(QList<QStringList>, before);
    QFETCH(QList<QStringList>, typed);
    QFETCH(QStringList, after);
    QFETCH(bool, changed);
    QFETCH(bool, buttons);

    putEntries(*m_main, before);
    // Edit, Delete and Find wait for the list to take the focus.
    QVERIFY(!enabled(*m_main, "EditCmd"));
    MessageScript messages;
    const QStringList shown = clickCommand(*m_main, "AddCmd", [&](QDialog& dialog) {
        for (const QStringList& entry : typed) {
            box(dialog, "Family")->setFocus();
            type(entry.value(0));
            press(Qt::Key_Tab);
            type(entry.value(1));
            press(Qt::Key_Tab);
            type(entry.value(2));
            press(Qt::Key_Return);
        }
        QTest::mouseClick(child<QPushButton>(dialog, "DoneCmd"), Qt::LeftButton);
    });
    QCOMPARE(shown, QStringList{"AddForm"});
    QTRY_COMPARE(focused(), entryList(*m_main));
    QCOMPARE(families(*m_main), after);
    for (const char* name : {"EditCmd", "DelCmd", "FindCmd"})
        QCOMPARE(QString(name) + QString::number(enabled(*m_main, name)),
                 QString(name) + QString::number(buttons));
    QCOMPARE(asksAboutChanges(*m_main), changed);
}

void TestEntryCommands::editMovesTheEntry()
{
    putEntries(*m_main,
               {{"Adams", "Ann", "123"}, {"Baker", "Tom", "12"}, {"Smith", "John", "555"}});
    MessageScript messages;
    // A double click on the first line opens it.
    const QStringList shown =
        openDialog([&] { doubleClickEntry(*m_main, 0); },
                   [&](QDialog& dialog) {
                       QCOMPARE(boxTexts(dialog), (QStringList{"Adams", "Ann", "123"}));
                       box(dialog, "Family")->selectAll();
                       type("Young");
                       box(dialog, "Phone")->setFocus();
                       press(Qt::Key_End);
                       type("4");
                       press(Qt::Key_Return);
                       QVERIFY(!dialog.isVisible());
                   });

    QCOMPARE(shown, QStringList{"EditForm"});
    QCOMPARE(messages.asked.size(), 0);
    QCOMPARE(families(*m_main), (QStringList{"Baker", "Smith", "Young"}));
    QCOMPARE(entryList(*m_main)->itemText(2), makeEntryLine("Young", "Ann", "1234"));
    QCOMPARE(entryList(*m_main)->currentRow(), int(-1));
    QVERIFY(asksAboutChanges(*m_main));
}

void TestEntryCommands::editWithoutChangeMarksTheDocument()
{
    putEntries(*m_main, {{"Adams", "Ann", "123"}, {"Baker", "Tom", "12"}});
    const QStringList before = entryList(*m_main)->items();
    clickEntry(*m_main, 1);
    const QStringList shown = clickCommand(*m_main, "EditCmd", [&](QDialog& dialog) {
        QTest::mouseClick(child<QPushButton>(dialog, "EditCmd"), Qt::LeftButton);
        QVERIFY(!dialog.isVisible());
    });
    QCOMPARE(shown, QStringList{"EditForm"});
    QCOMPARE(entryList(*m_main)->items(), before);
    QCOMPARE(entryList(*m_main)->currentRow(), int(-1));
    QVERIFY(asksAboutChanges(*m_main));
}

void TestEntryCommands::editWithoutSelectionTakesTheFirst()
{
    putEntries(*m_main, {{"Baker", "Tom", "12"}, {"Adams", "Ann", "123"}});
    focusList(*m_main);
    QCOMPARE(entryList(*m_main)->currentRow(), int(-1));
    QStringList shownBoxes;
    const QStringList shown = clickCommand(*m_main, "EditCmd", [&](QDialog& dialog) {
        QCOMPARE(entryList(*m_main)->currentRow(), int(0));
        shownBoxes = boxTexts(dialog);
    });
    QCOMPARE(shown, QStringList{"EditForm"});
    QCOMPARE(shownBoxes, (QStringList{"Adams", "Ann", "123"}));
    QCOMPARE(entryList(*m_main)->currentRow(), int(0));
    QVERIFY(!asksAboutChanges(*m_main));
}

void TestEntryCommands::editLeftWithoutEditingChangesNothing_data()
{
    QTest::addColumn<QString>("how");
    QTest::addColumn<int>("messages");

    QTest::newRow("Cancel after typing") << "cancel" << 0;
    QTest::newRow("Escape after typing") << "escape" << 0;
    QTest::newRow("refused, then Cancel") << "refused" << 1;
}

void TestEntryCommands::editLeftWithoutEditingChangesNothing()
{
    QFETCH(QString, how);
    QFETCH(int, messages);

    putEntries(*m_main,
               {{"Adams", "Ann", "123"}, {"Baker", "Tom", "12"}, {"Smith", "John", "555"}});
    const QStringList before = entryList(*m_main)->items();
    clickEntry(*m_main, 1);
    MessageScript asked;
    const QStringList shown = clickCommand(*m_main, "EditCmd", [&](QDialog& dialog) {
        box(dialog, "Family")->selectAll();
        if (how == QLatin1String("refused")) {
            press(Qt::Key_Backspace);
            press(Qt::Key_Return);
            QCOMPARE(asked.asked.size(), 1);
            QVERIFY(dialog.isVisible());
            // The list stays as it was while the dialog is open.
            QCOMPARE(entryList(*m_main)->items(), before);
            QCOMPARE(entryList(*m_main)->currentRow(), int(1));
        } else {
            type("Zeta");
        }
        if (how == QLatin1String("escape"))
            press(Qt::Key_Escape);
        else
            QTest::mouseClick(child<QPushButton>(dialog, "CancelCmd"), Qt::LeftButton);
        QVERIFY(!dialog.isVisible());
    });
    QCOMPARE(shown, QStringList{"EditForm"});
    QCOMPARE(asked.asked.size(), messages);
    QCOMPARE(entryList(*m_main)->items(), before);
    QCOMPARE(entryList(*m_main)->currentRow(), int(1));
    QVERIFY(!asksAboutChanges(*m_main));
}

void TestEntryCommands::pastedLineBreaksSurviveSaving_data()
{
    addPastedLineBreakRows();
}

void TestEntryCommands::pastedLineBreaksSurviveSaving()
{
    QFETCH(QString, lineBreak);
    QFETCH(Paste, how);
    // Ctrl+V is a swallowed keystroke in a Phone box; its menu still pastes.
    const Paste phoneHow = how == Paste::CtrlV ? Paste::Menu : how;

    MessageScript messages;
    clickCommand(*m_main, "AddCmd", [&](QDialog& dialog) {
        paste(box(dialog, "Family"), "Miller" + lineBreak, how);
        paste(box(dialog, "Short"), "Jo" + lineBreak + "hn", how);
        paste(box(dialog, "Phone"), "555" + lineBreak + "12", phoneHow);
        press(Qt::Key_Return);
        QTest::mouseClick(child<QPushButton>(dialog, "DoneCmd"), Qt::LeftButton);
    });
    QCOMPARE(entryList(*m_main)->items(), QStringList{makeEntryLine("Miller", "Jo hn", "555 12")});
    QTRY_VERIFY(enabled(*m_main, "EditCmd"));

    clickCommand(*m_main, "EditCmd", [&](QDialog& dialog) {
        paste(box(dialog, "Family"), lineBreak + "Smith", how);
        paste(box(dialog, "Short"), lineBreak, how);
        paste(box(dialog, "Phone"), lineBreak + "9", phoneHow);
        press(Qt::Key_Return);
    });
    const QStringList expected{makeEntryLine("Miller Smith", "Jo hn", "555 12 9")};
    QCOMPARE(entryList(*m_main)->items(), expected);

    // Save of an untitled document asks for a name.
    {
        ModalScript chooser;
        chooser.then(typeName("pasted"));
        runMenu(*m_main, "SaveMenu");
        QCOMPARE(chooser.shown, QStringList{"FileBox"});
    }
    QCOMPARE(messages.asked.size(), 0);
    const QString path = QDir::current().filePath("pasted.CVA");
    QCOMPARE(m_main->windowTitle(), QDir::toNativeSeparators(path));
    QCOMPARE(readBytes(path), QByteArray("Miller Smith\r\nJo hn\r\n555 12 9\r\n"));
    QVERIFY(!asksAboutChanges(*m_main));

    // Another window reads the same entries back.
    MainWindow reader;
    showActive(reader);
    openDocument(reader, "pasted.CVA");
    QCOMPARE(messages.asked.size(), 0);
    QCOMPARE(entryList(reader)->items(), expected);
}

void TestEntryCommands::findOpensOnTheFirstEntry()
{
    putEntries(*m_main, {{"Smith", "x", "555"}, {"Adams", "x", "555"}});
    focusList(*m_main);
    QCOMPARE(entryList(*m_main)->currentRow(), int(-1));
    MessageScript messages;
    QStringList shown = clickCommand(*m_main, "FindCmd", [&](QDialog& dialog) {
        // Find selected the first entry before the dialog opened.
        QCOMPARE(entryList(*m_main)->currentRow(), int(0));
        QCOMPARE(findShows(dialog), findShows({"", "", ""}, false, false));
        QVERIFY(!child(dialog, "FindCmd")->isEnabled());
        // Typed and left without a search: nothing to offer again.
        type("smith");
        press(Qt::Key_Escape);
    });
    QCOMPARE(shown, QStringList{"FindForm"});
    QCOMPARE(entryList(*m_main)->currentRow(), int(0));

    shown = clickCommand(*m_main, "FindCmd", [&](QDialog& dialog) {
        QCOMPARE(findShows(dialog), findShows({"", "", ""}, false, false));
        press(Qt::Key_Escape);
    });
    QCOMPARE(shown, QStringList{"FindForm"});
    QCOMPARE(messages.asked.size(), 0);
    QVERIFY(!asksAboutChanges(*m_main));
}

void TestEntryCommands::findOffersTheLastFoundSearch_data()
{
    QTest::addColumn<QString>("then");
    QTest::addColumn<QStringList>("boxes");
    QTest::addColumn<bool>("matchCase");
    QTest::addColumn<int>("selected");
    QTest::addColumn<int>("messages");

    const QStringList first{"ann", "x", "55"};
    QTest::newRow("closed at once") << "close" << first << true << 1 << 0;
    QTest::newRow("Find Next again") << "find next" << first << true << 2 << 0;
    QTest::newRow("a failed search") << "fail" << first << true << 1 << 1;
    QTest::newRow("fields cleared") << "clear" << first << true << 1 << 0;
    QTest::newRow("another search found")
        << "find another" << QStringList{"JOANNA", "x", "55"} << false << 2 << 0;
}

void TestEntryCommands::findOffersTheLastFoundSearch()
{
    QFETCH(QString, then);
    QFETCH(QStringList, boxes);
    QFETCH(bool, matchCase);
    QFETCH(int, selected);
    QFETCH(int, messages);

    putEntries(*m_main, {{"Ann", "x", "555"}, {"Dianne", "x", "555"}, {"Joanna", "x", "555"}});
    focusList(*m_main);
    MessageScript asked;
    clickCommand(*m_main, "FindCmd", [&](QDialog& dialog) {
        type("  ann ");
        press(Qt::Key_Tab);
        type(" x");
        press(Qt::Key_Tab);
        type("55");
        QTest::mouseClick(child<QCheckBox>(dialog, "MatchCheck"), Qt::LeftButton);
        QTest::mouseClick(child<QPushButton>(dialog, "FindCmd"), Qt::LeftButton);
        QCOMPARE(entryList(*m_main)->currentRow(), int(1));
        press(Qt::Key_Escape);
    });

    // The next opening offers it trimmed, with its options, and goes on
    // from the entry it found.
    clickCommand(*m_main, "FindCmd", [&](QDialog& dialog) {
        QCOMPARE(findShows(dialog), findShows({"ann", "x", "55"}, true, false));
        QVERIFY(child(dialog, "FindCmd")->isEnabled());
        auto* findCmd = child<QPushButton>(dialog, "FindCmd");
        if (then == QLatin1String("find next")) {
            QTest::mouseClick(findCmd, Qt::LeftButton);
        } else if (then == QLatin1String("fail")) {
            box(dialog, "Family")->selectAll();
            type("zzz");
            QTest::mouseClick(child<QCheckBox>(dialog, "WholeCheck"), Qt::LeftButton);
            QTest::mouseClick(findCmd, Qt::LeftButton);
        } else if (then == QLatin1String("clear")) {
            QTest::mouseClick(child<QPushButton>(dialog, "ClearCmd"), Qt::LeftButton);
            QCOMPARE(findShows(dialog), findShows({"", "", ""}, true, false));
        } else if (then == QLatin1String("find another")) {
            box(dialog, "Family")->selectAll();
            type("JOANNA");
            QTest::mouseClick(child<QCheckBox>(dialog, "MatchCheck"), Qt::LeftButton);
            QTest::mouseClick(findCmd, Qt::LeftButton);
        }
        press(Qt::Key_Escape);
    });
    QCOMPARE(entryList(*m_main)->currentRow(), int(selected));
    QCOMPARE(asked.asked.size(), messages);

    clickCommand(*m_main, "FindCmd", [&](QDialog& dialog) {
        QCOMPARE(findShows(dialog), findShows(boxes, matchCase, false));
        press(Qt::Key_Escape);
    });
    // Finding is no change of the document.
    QVERIFY(!asksAboutChanges(*m_main));
}

void TestEntryCommands::newAndOpenForgetTheSearch_data()
{
    QTest::addColumn<QString>("command");
    QTest::newRow("New") << "NewMenu";
    QTest::newRow("Open") << "OpenMenu";
}

void TestEntryCommands::newAndOpenForgetTheSearch()
{
    QFETCH(QString, command);

    putEntries(*m_main, {{"Adams", "x", "555"}, {"Smith", "x", "555"}});
    focusList(*m_main);
    clickCommand(*m_main, "FindCmd", [&](QDialog& dialog) {
        type("Smith");
        QTest::mouseClick(child<QCheckBox>(dialog, "MatchCheck"), Qt::LeftButton);
        QTest::mouseClick(child<QCheckBox>(dialog, "WholeCheck"), Qt::LeftButton);
        QTest::mouseClick(child<QPushButton>(dialog, "FindCmd"), Qt::LeftButton);
        QCOMPARE(entryList(*m_main)->currentRow(), int(1));
    });
    clickCommand(*m_main, "FindCmd", [&](QDialog& dialog) {
        QCOMPARE(findShows(dialog), findShows({"Smith", "", ""}, true, true));
    });

    MessageScript messages;
    const QString path = QDir::current().filePath("other.CVA");
    if (command == QLatin1String("NewMenu")) {
        ModalScript chooser;
        chooser.then(typeName("other"));
        runMenu(*m_main, "NewMenu");
        QCOMPARE(chooser.shown, QStringList{"FileBox"});
        QCOMPARE(families(*m_main), QStringList{});
        putEntries(*m_main, {{"Smith", "x", "555"}});
    } else {
        writeBytes(path, "Smith\r\nx\r\n555\r\n");
        openDocument(*m_main, "other.CVA");
    }
    QCOMPARE(messages.asked.size(), 0);
    QCOMPARE(m_main->windowTitle(), QDir::toNativeSeparators(path));
    QCOMPARE(families(*m_main), QStringList{"Smith"});

    focusList(*m_main);
    const QStringList shown = clickCommand(*m_main, "FindCmd", [&](QDialog& dialog) {
        QCOMPARE(findShows(dialog), findShows({"", "", ""}, false, false));
        QVERIFY(!child(dialog, "FindCmd")->isEnabled());
    });
    QCOMPARE(shown, QStringList{"FindForm"});
}

void TestEntryCommands::emptyListOpensNothing_data()
{
    QTest::addColumn<QString>("how");
    QTest::newRow("new window") << "new";
    QTest::newRow("empty list focused") << "focus";
    QTest::newRow("last entry deleted") << "delete";
}

void TestEntryCommands::emptyListOpensNothing()
{
    QFETCH(QString, how);

    if (how == QLatin1String("focus")) {
        focusList(*m_main);
    } else if (how == QLatin1String("delete")) {
        putEntries(*m_main, {{"Smith", "John", "555"}});
        clickEntry(*m_main, 0);
        MessageScript messages;
        messages.answer(MessageAnswer::Yes);
        click(*m_main, "DelCmd");
        QCOMPARE(messages.asked.size(), 1);
        QCOMPARE(entryList(*m_main)->count(), int(0));
    }

    ModalScript dialogs;
    click(*m_main, "FindCmd");
    click(*m_main, "EditCmd");
    QTest::keyClick(m_main.get(), Qt::Key_I, Qt::AltModifier);
    QTest::keyClick(m_main.get(), Qt::Key_E, Qt::AltModifier);
    QTest::mouseDClick(entryList(*m_main)->viewport(), Qt::LeftButton, {},
                       entryList(*m_main)->viewport()->rect().center());
    QCOMPARE(dialogs.shown, QStringList{});
    QVERIFY(!enabled(*m_main, "FindCmd"));
    QVERIFY(!enabled(*m_main, "EditCmd"));
}

QTEST_MAIN(TestEntryCommands)
#include "test_entry_commands.moc"

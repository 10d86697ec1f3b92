#include "app/main_form.h"
#include "app/main_window.h"
#include "core/entry_line.h"
#include "test_support.h"
#include "widgets/entry_list.h"
#include "widgets/geometry.h"

#include <QAbstractButton>
#include <QAction>
#include <QElapsedTimer>
#include <QEvent>
#include <QFontInfo>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QScrollBar>
#include <QTest>

#include <memory>

using namespace callvista;
using namespace callvista::testing;

namespace {

// Counts the hide and show events of a widget: each one is a change that
// reaches the screen.
class VisibilityCount : public QObject
{
public:
    explicit VisibilityCount(QWidget* widget) { widget->installEventFilter(this); }

    void reset() { hides = shows = 0; }

    int hides = 0;
    int shows = 0;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Hide)
            ++hides;
        else if (event->type() == QEvent::Show)
            ++shows;
        return QObject::eventFilter(watched, event);
    }
};

// Selects the entry of that row with a click, as a person does; the list
// takes the focus with it.
void clickRow(EntryList& list, int row)
{
    const QRect rect = list.visualRect(list.model()->index(row, 0));
    QVERIFY(list.viewport()->rect().contains(rect.center()));
    QTest::mouseClick(list.viewport(), Qt::LeftButton, {}, rect.center());
    QCOMPARE(int(list.currentRow()), row);
}

// The short names of the list's entries, top to bottom.
QStringList shortNames(const QWidget& window)
{
    QStringList result;
    for (const QString& line : entryList(window)->items())
        result.append(entryField(line, Field::Short));
    return result;
}

} // namespace

class TestMainWindow : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void startsEmptyAndUntitled();
    void controlsStandAtTheirPlaces_data();
    void controlsStandAtTheirPlaces();
    void tabOrderAndAccessKeys();
    void fileMenu_data();
    void fileMenu();
    void insertsAtTheSortedPlace();
    void buttonsFollowTheListOnlyOnFocus();
    void refusesAFullList();
    void deleteAsksAboutTheSelectedEntry_data();
    void deleteAsksAboutTheSelectedEntry();
    void deletingTheLastEntryDisablesTheButtons();
    void commandsOnAnEmptyListDoNothing();
    void headerStandsOverTheColumns();
    void navigationKeysSelectLikeAListBox_data();
    void navigationKeysSelectLikeAListBox();
    void focusWithoutSelectionHighlightsNothing();
    void enterPressesTheFocusedButton_data();
    void enterPressesTheFocusedButton();
    void doubleClickEditsOnlyOnAnEntry_data();
    void doubleClickEditsOnlyOnAnEntry();
    void pictureBlinksOnlyForALeftClick_data();
    void pictureBlinksOnlyForALeftClick();
    void blinkEndsVisible();
    void clickDuringBlinkStartsAfresh();
    void closingMidBlinkIsSafe();

private:
    // Presses Tab until the list has the focus, as a person gets there.
    void tabToList();

    std::unique_ptr<UnexpectedWindows> m_unexpected;
    std::unique_ptr<MainWindow> m_main;
};

void TestMainWindow::init()
{
    m_unexpected = std::make_unique<UnexpectedWindows>();
    m_main = std::make_unique<MainWindow>();
    showActive(*m_main);
}

void TestMainWindow::cleanup()
{
    m_main.reset();
    const QString unexpected = m_unexpected->shown();
    m_unexpected.reset();
    QVERIFY2(unexpected.isEmpty(), qPrintable(unexpected));
}

void TestMainWindow::tabToList()
{
    EntryList* list = entryList(*m_main);
    for (int i = 0; i < 6 && focused() != list; ++i)
        press(Qt::Key_Tab);
    QCOMPARE(focused(), list);
}

void TestMainWindow::startsEmptyAndUntitled()
{
    QCOMPARE(m_main->windowTitle(), QStringLiteral("<Untitled>"));
    QCOMPARE(entryList(*m_main)->count(), int(0));
    QCOMPARE(entryList(*m_main)->currentRow(), int(-1));
    QCOMPARE(
        child<QLabel>(*m_main, "Title")->text(),
        QStringLiteral("Family Name                   |Short Name          |Phone No            "));
    QVERIFY(child(*m_main, "AddCmd")->isEnabled());
    QVERIFY(!child(*m_main, "EditCmd")->isEnabled());
    QVERIFY(!child(*m_main, "DelCmd")->isEnabled());
    QVERIFY(!child(*m_main, "FindCmd")->isEnabled());
    QCOMPARE(QApplication::focusWidget(), child(*m_main, "AddCmd"));
    QVERIFY(!m_main->windowFlags().testFlag(Qt::WindowMaximizeButtonHint));
    QVERIFY(m_main->windowFlags().testFlag(Qt::WindowMinimizeButtonHint));
    // A new window holds nothing to save: New goes straight to its chooser.
    QVERIFY(!asksAboutChanges(*m_main));
}

void TestMainWindow::controlsStandAtTheirPlaces_data()
{
    addControlRows(MainForm::table().controls);
}

void TestMainWindow::controlsStandAtTheirPlaces()
{
    QFETCH(QString, name);
    QFETCH(QRect, twips);
    QFETCH(QString, caption);
    const FormTable table = MainForm::table();
    QCOMPARE(child(*m_main, table.name)->size(), twipsSize(table.twips));
    QWidget* widget = child(*m_main, qPrintable(name));
    QVERIFY(widget);
    QCOMPARE(widget->geometry(), twipsRect(twips));
    if (auto* button = qobject_cast<QAbstractButton*>(widget))
        QCOMPARE(button->text(), caption);
}

void TestMainWindow::tabOrderAndAccessKeys()
{
    QStringList order;
    QWidget* widget = child(*m_main, "AddCmd");
    for (int i = 0; i < 5; ++i) {
        order.append(widget->objectName());
        do
            widget = widget->nextInFocusChain();
        while (!(widget->focusPolicy() & Qt::TabFocus) || !widget->isVisibleTo(m_main.get()));
    }
    QCOMPARE(order, (QStringList{"AddCmd", "DelCmd", "FindCmd", "AdrList", "EditCmd"}));

    QCOMPARE(child<QAbstractButton>(*m_main, "AddCmd")->shortcut(), QKeySequence("Alt+A"));
    QCOMPARE(child<QAbstractButton>(*m_main, "EditCmd")->shortcut(), QKeySequence("Alt+E"));
    QCOMPARE(child<QAbstractButton>(*m_main, "DelCmd")->shortcut(), QKeySequence("Alt+D"));
    QCOMPARE(child<QAbstractButton>(*m_main, "FindCmd")->shortcut(), QKeySequence("Alt+I"));
}

void TestMainWindow::fileMenu_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QKeySequence>("keys");
    QTest::newRow("new") << "NewMenu"
                         << "&New" << QKeySequence("Ctrl+N");
    QTest::newRow("open") << "OpenMenu"
                          << "&Open" << QKeySequence("Ctrl+O");
    QTest::newRow("save") << "SaveMenu"
                          << "&Save" << QKeySequence("Ctrl+S");
    QTest::newRow("save as") << "SaveAsMenu"
                             << "Save &As..." << QKeySequence();
    QTest::newRow("exit") << "ExitMenu"
                          << "E&xit" << QKeySequence("Ctrl+X");
}

void TestMainWindow::fileMenu()
{
    QFETCH(QString, name);
    QFETCH(QString, caption);
    QFETCH(QKeySequence, keys);
    auto* file = m_main->findChild<QMenu*>(QStringLiteral("File"));
    QVERIFY(file);
    QCOMPARE(file->title(), QStringLiteral("&File"));
    QVERIFY(m_main->menuBar()->actions().contains(file->menuAction()));
    auto* action = file->findChild<QAction*>(name);
    QVERIFY(action);
    QCOMPARE(action->text(), caption);
    QCOMPARE(action->shortcut(), keys);
    const QList<QAction*> actions = file->actions();
    QCOMPARE(actions.size(), 6);
    QVERIFY(actions.at(4)->isSeparator());
}

void TestMainWindow::insertsAtTheSortedPlace()
{
    addEntries(*m_main, {{"Smythe", "a", "1"},
                         {"smith", "b", "2"},
                         {"Adams", "c", "3"},
                         {"SMITH", "a", "4"},
                         {"Smithers", "d", "5"}});
    QCOMPARE(families(*m_main), (QStringList{"Adams", "SMITH", "smith", "Smithers", "Smythe"}));
    // SMITH/a sorts before smith/b although it came later: the whole line counts.
    QCOMPARE(shortNames(*m_main), (QStringList{"c", "a", "b", "d", "a"}));
}

void TestMainWindow::buttonsFollowTheListOnlyOnFocus()
{
    putEntries(*m_main, {{"Smith", "John", "555"}});
    QVERIFY(!child(*m_main, "EditCmd")->isEnabled());
    QVERIFY(!child(*m_main, "DelCmd")->isEnabled());
    QVERIFY(!child(*m_main, "FindCmd")->isEnabled());

    // Tab passes over the disabled buttons to the list.
    QCOMPARE(focused(), child(*m_main, "AddCmd"));
    press(Qt::Key_Tab);
    QCOMPARE(focused(), entryList(*m_main));
    QVERIFY(child(*m_main, "EditCmd")->isEnabled());
    QVERIFY(child(*m_main, "DelCmd")->isEnabled());
    QVERIFY(child(*m_main, "FindCmd")->isEnabled());
    QCOMPARE(entryList(*m_main)->currentRow(), int(-1));
}

void TestMainWindow::refusesAFullList()
{
    QStringList lines;
    for (int i = 0; i < MaxEntries; ++i)
        lines.append(makeEntryLine(QString::number(i), "s", "1"));
    EntryList* list = entryList(*m_main);
    list->setItems(lines);
    QCOMPARE(list->count(), int(32767));
    QVERIFY(!list->addItem(makeEntryLine("One", "more", "1")));

    // The Add dialog says so and adds nothing; the document is unchanged.
    MessageScript messages;
    addEntries(*m_main, {{"One", "more", "1"}});
    QCOMPARE(messages.asked.size(), 1);
    QCOMPARE(messages.asked.first().text, QStringLiteral("The List is Full!"));
    QCOMPARE(messages.asked.first().title, QStringLiteral("Warning"));
    QCOMPARE(list->count(), int(32767));
    QVERIFY(!families(*m_main).contains(QStringLiteral("One")));
    QVERIFY(!asksAboutChanges(*m_main));
}

void TestMainWindow::deleteAsksAboutTheSelectedEntry_data()
{
    QTest::addColumn<int>("selected");
    QTest::addColumn<bool>("yes");
    QTest::addColumn<QString>("question");
    QTest::addColumn<QStringList>("remaining");

    QTest::newRow("no selection, yes deletes the first")
        << -1 << true << "Are You Sure to Remove 'ADAMS' ?" << QStringList{"Smith"};
    QTest::newRow("no selection, no keeps it")
        << -1 << false << "Are You Sure to Remove 'ADAMS' ?" << QStringList{"Adams", "Smith"};
    QTest::newRow("selected, yes deletes it")
        << 1 << true << "Are You Sure to Remove 'SMITH' ?" << QStringList{"Adams"};
    QTest::newRow("selected, no keeps it")
        << 1 << false << "Are You Sure to Remove 'SMITH' ?" << QStringList{"Adams", "Smith"};
}

void TestMainWindow::deleteAsksAboutTheSelectedEntry()
{
    QFETCH(int, selected);
    QFETCH(bool, yes);
    QFETCH(QString, question);
    QFETCH(QStringList, remaining);

    putEntries(*m_main, {{"Smith", "John", "555"}, {"Adams", "Ann", "123"}});
    EntryList* list = entryList(*m_main);
    if (selected >= 0)
        clickRow(*list, selected);
    else
        tabToList();
    QCOMPARE(int(list->currentRow()), selected);
    MessageScript messages;
    messages.answer(yes ? MessageAnswer::Yes : MessageAnswer::No);
    QTest::mouseClick(child<QAbstractButton>(*m_main, "DelCmd"), Qt::LeftButton);

    QCOMPARE(messages.asked.size(), 1);
    QCOMPARE(messages.asked.first().text, question);
    QCOMPARE(messages.asked.first().title, QStringLiteral("Delete Confirmation"));
    QCOMPARE(messages.asked.first().buttons, MessageButtons::YesNo);
    QCOMPARE(families(*m_main), remaining);
    QCOMPARE(list->currentRow(), int(yes ? -1 : qMax(selected, 0)));
    QVERIFY(child(*m_main, "EditCmd")->isEnabled());
    // Only a deletion is a change of the document.
    QCOMPARE(asksAboutChanges(*m_main), yes);
}

void TestMainWindow::deletingTheLastEntryDisablesTheButtons()
{
    putEntries(*m_main, {{"Smith", "John", "555"}});
    tabToList();
    QVERIFY(child(*m_main, "DelCmd")->isEnabled());
    MessageScript messages;
    messages.answer(MessageAnswer::Yes);
    QTest::mouseClick(child<QAbstractButton>(*m_main, "DelCmd"), Qt::LeftButton);
    QCOMPARE(messages.asked.size(), 1);
    QCOMPARE(entryList(*m_main)->count(), int(0));
    QVERIFY(!child(*m_main, "EditCmd")->isEnabled());
    QVERIFY(!child(*m_main, "DelCmd")->isEnabled());
    QVERIFY(!child(*m_main, "FindCmd")->isEnabled());
}

void TestMainWindow::commandsOnAnEmptyListDoNothing()
{
    MessageScript messages;
    ModalScript dialogs;
    EntryList* list = entryList(*m_main);
    // Every way to Edit, Delete and Find by the buttons: clicks and keys.
    const auto tryTheButtons = [&] {
        for (const char* name : {"EditCmd", "DelCmd", "FindCmd"})
            QTest::mouseClick(child(*m_main, name), Qt::LeftButton);
        for (const Qt::Key key : {Qt::Key_E, Qt::Key_D, Qt::Key_I})
            press(key, Qt::AltModifier);
    };

    QCOMPARE(focused(), child(*m_main, "AddCmd"));
    tryTheButtons();
    QCOMPARE(focused(), child(*m_main, "AddCmd"));

    // A double click into the empty list edits nothing, and the list that
    // has the focus now enables nothing.
    const QPoint middle = list->viewport()->rect().center();
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, middle);
    QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, middle);
    QCOMPARE(focused(), list);
    QVERIFY(!child(*m_main, "EditCmd")->isEnabled());
    QVERIFY(!child(*m_main, "DelCmd")->isEnabled());
    QVERIFY(!child(*m_main, "FindCmd")->isEnabled());
    tryTheButtons();
    QCOMPARE(focused(), list);

    QCOMPARE(messages.asked.size(), 0);
    QCOMPARE(dialogs.shown, QStringList{});
    QCOMPARE(list->count(), int(0));
    QCOMPARE(list->currentRow(), int(-1));
    QVERIFY(!asksAboutChanges(*m_main));
}

// Columns of the image, counted from the list's left edge, that hold a dark
// pixel in at least `minRun` rows of the strip.
static QList<int> darkColumns(const QImage& image, int top, int height, int minRun)
{
    QList<int> columns;
    for (int x = 0; x < image.width(); ++x) {
        int dark = 0;
        for (int y = top; y < top + height && y < image.height(); ++y)
            if (qGray(image.pixel(x, y)) < 100)
                ++dark;
        if (dark >= minRun)
            columns.append(x);
    }
    return columns;
}

void TestMainWindow::headerStandsOverTheColumns()
{
    EntryList* list = entryList(*m_main);
    QVERIFY(QFontInfo(list->font()).fixedPitch());
    putEntries(*m_main, {{"", "", ""}});
    QWidget* client = child(*m_main, "client");
    const QImage image = client->grab().toImage();
    const QRect row = list->visualRect(list->model()->index(0, 0));
    const QPoint rowTop = list->viewport()->mapTo(client, row.topLeft());
    // The line of an empty entry shows nothing but its two bars.
    const QList<int> bars = darkColumns(image, rowTop.y(), row.height(), row.height() / 2);
    QVERIFY2(!bars.isEmpty(), "no bar drawn in the list");
    QVERIFY(bars.last() - bars.first() > 100);
    const QLabel* title = child<QLabel>(*m_main, "Title");
    const QList<int> titleColumns =
        darkColumns(image, title->y(), title->height(), row.height() / 2);
    for (int x : bars)
        QVERIFY2(titleColumns.contains(x), qPrintable(QString("bar at x=%1 not in header").arg(x)));
}

void TestMainWindow::navigationKeysSelectLikeAListBox_data()
{
    QTest::addColumn<int>("selectedBefore");
    QTest::addColumn<QList<int>>("keys");
    QTest::addColumn<int>("selectedAfter");

    // Five entries; -1 is no selection.
    QTest::newRow("Down with nothing selected takes the first")
        << -1 << QList<int>{Qt::Key_Down} << 0;
    QTest::newRow("Home with nothing selected takes the first")
        << -1 << QList<int>{Qt::Key_Home} << 0;
    QTest::newRow("End with nothing selected takes the last") << -1 << QList<int>{Qt::Key_End} << 4;
    QTest::newRow("Up with nothing selected takes the last") << -1 << QList<int>{Qt::Key_Up} << 4;
    QTest::newRow("Page Down with nothing selected takes the first")
        << -1 << QList<int>{Qt::Key_PageDown} << 0;
    QTest::newRow("then Down takes the second")
        << -1 << QList<int>{Qt::Key_Down, Qt::Key_Down} << 1;
    QTest::newRow("Down on the last stays selected") << 4 << QList<int>{Qt::Key_Down} << 4;
    QTest::newRow("Up on the first stays selected") << 0 << QList<int>{Qt::Key_Up} << 0;
    QTest::newRow("Down after a Delete starts at the first") << -2 << QList<int>{Qt::Key_Down} << 0;
}

void TestMainWindow::navigationKeysSelectLikeAListBox()
{
    QFETCH(int, selectedBefore);
    QFETCH(QList<int>, keys);
    QFETCH(int, selectedAfter);

    putEntries(*m_main, {{"Adams", "A", "1"},
                         {"Baker", "B", "2"},
                         {"Cole", "C", "3"},
                         {"Dent", "D", "4"},
                         {"Eton", "E", "5"}});
    EntryList* list = entryList(*m_main);
    if (selectedBefore == -2) {
        // Deleting the selected third entry leaves the caret where it stood.
        clickRow(*list, 2);
        MessageScript messages;
        messages.answer(MessageAnswer::Yes);
        QTest::mouseClick(child<QAbstractButton>(*m_main, "DelCmd"), Qt::LeftButton);
        QCOMPARE(messages.asked.size(), 1);
        QCOMPARE(list->count(), int(4));
        QCOMPARE(list->currentRow(), int(-1));
    } else if (selectedBefore >= 0) {
        clickRow(*list, selectedBefore);
    }
    // Into the list by Tab, as a person gets there.
    if (focused() == list)
        press(Qt::Key_Tab);
    QVERIFY(focused() != list);
    tabToList();
    for (const int key : keys)
        press(Qt::Key(key));
    QCOMPARE(int(list->currentRow()), selectedAfter);
    QCOMPARE(list->currentIndex().row(), selectedAfter);
}

void TestMainWindow::focusWithoutSelectionHighlightsNothing()
{
    putEntries(*m_main, {{"Adams", "A", "1"}, {"Baker", "B", "2"}});
    EntryList* list = entryList(*m_main);
    tabToList();
    QCOMPARE(list->currentRow(), int(-1));

    // Right of the text, a row's pixels are the list's own background
    // unless the row is drawn as the selected or current one.
    const auto rowFill = [&](int row) {
        const QRect rect = list->visualRect(list->model()->index(row, 0));
        const QImage image = list->viewport()->grab().toImage();
        return image.pixelColor(list->viewport()->width() - 4, rect.center().y());
    };
    const QColor background = rowFill(1);
    QCOMPARE(rowFill(0), background);
    press(Qt::Key_Down);
    QCOMPARE(list->currentRow(), int(0));
    QVERIFY(rowFill(0) != background);
    QCOMPARE(rowFill(1), background);
}

void TestMainWindow::enterPressesTheFocusedButton_data()
{
    QTest::addColumn<QString>("button");
    QTest::addColumn<int>("key");
    QTest::addColumn<QString>("opens");

    for (const auto& [key, name] :
         {std::pair{int(Qt::Key_Return), "Return"}, {int(Qt::Key_Enter), "Enter"}}) {
        QTest::newRow(qPrintable(QStringLiteral("%1 on Add").arg(name)))
            << "AddCmd" << key << "AddForm";
        QTest::newRow(qPrintable(QStringLiteral("%1 on Edit").arg(name)))
            << "EditCmd" << key << "EditForm";
        QTest::newRow(qPrintable(QStringLiteral("%1 on Find").arg(name)))
            << "FindCmd" << key << "FindForm";
        QTest::newRow(qPrintable(QStringLiteral("%1 on Delete").arg(name)))
            << "DelCmd" << key << "Delete Confirmation";
    }
    QTest::newRow("Space on Edit, as before") << "EditCmd" << int(Qt::Key_Space) << "EditForm";
}

void TestMainWindow::enterPressesTheFocusedButton()
{
    QFETCH(QString, button);
    QFETCH(int, key);
    QFETCH(QString, opens);

    putEntries(*m_main, {{"Adams", "A", "1"}});
    // The buttons follow the list once it has had the focus.
    tabToList();
    QVERIFY(child(*m_main, "EditCmd")->isEnabled());
    ModalScript dialogs;
    dialogs.then([](QDialog& dialog) { dialog.reject(); });
    MessageScript messages;
    QWidget* target = child(*m_main, qPrintable(button));
    target->setFocus();
    QCOMPARE(focused(), target);
    press(Qt::Key(key));
    QStringList shown = dialogs.shown;
    for (const MessageRequest& request : messages.asked)
        shown.append(request.title);
    QCOMPARE(shown, QStringList{opens});
}

void TestMainWindow::doubleClickEditsOnlyOnAnEntry_data()
{
    QTest::addColumn<int>("row");
    QTest::addColumn<QStringList>("opens");

    QTest::newRow("on the second entry") << 1 << QStringList{"EditForm"};
    QTest::newRow("below the entries") << -1 << QStringList{};
}

void TestMainWindow::doubleClickEditsOnlyOnAnEntry()
{
    QFETCH(int, row);
    QFETCH(QStringList, opens);

    putEntries(*m_main, {{"Adams", "A", "1"}, {"Baker", "B", "2"}});
    EntryList* list = entryList(*m_main);
    const QRect last = list->visualRect(list->model()->index(1, 0));
    const QPoint at = row >= 0 ? list->visualRect(list->model()->index(row, 0)).center()
                               : QPoint(last.center().x(), last.bottom() + 3 * last.height());
    QVERIFY(list->viewport()->rect().contains(at));
    ModalScript dialogs;
    QStringList edited;
    dialogs.then([&](QDialog& dialog) {
        edited.append(child<QLineEdit>(dialog, "Family")->text());
        dialog.reject();
    });
    // A double click is a click and then a double click, as the mouse sends it.
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, at);
    QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, at);
    QCOMPARE(dialogs.shown, opens);
    QCOMPARE(edited, row >= 0 ? QStringList{"Baker"} : QStringList{});
}

void TestMainWindow::pictureBlinksOnlyForALeftClick_data()
{
    QTest::addColumn<int>("button");
    QTest::addColumn<bool>("releasedOver");
    QTest::addColumn<bool>("blinks");

    QTest::newRow("left click") << int(Qt::LeftButton) << true << true;
    QTest::newRow("right click") << int(Qt::RightButton) << true << false;
    QTest::newRow("middle click") << int(Qt::MiddleButton) << true << false;
    QTest::newRow("left pressed on it, released elsewhere")
        << int(Qt::LeftButton) << false << false;
}

void TestMainWindow::pictureBlinksOnlyForALeftClick()
{
    QFETCH(int, button);
    QFETCH(bool, releasedOver);
    QFETCH(bool, blinks);

    QLabel* image = child<QLabel>(*m_main, "Image1");
    VisibilityCount seen(image);
    const Qt::MouseButton which = Qt::MouseButton(button);
    const QPoint inside = image->rect().center();
    const QPoint outside(image->width() + 20, image->height() / 2);
    QTest::mousePress(image, which, {}, inside);
    QTest::mouseMove(image, releasedOver ? inside : outside);
    QTest::mouseRelease(image, which, {}, releasedOver ? inside : outside);
    // A blink hides the picture at its first phase, one frame after the
    // click. Waiting for a hide ends at the first one, so it may wait long
    // on a busy machine; a click that must not blink is watched for the
    // first phases only.
    const bool hid = QTest::qWaitFor([&] { return seen.hides > 0; }, blinks ? 5000 : 300);
    QCOMPARE(hid, blinks);
}

void TestMainWindow::blinkEndsVisible()
{
    QLabel* image = child<QLabel>(*m_main, "Image1");
    QCOMPARE(image->toolTip(), QStringLiteral("Click"));
    VisibilityCount seen(image);
    QTest::mouseClick(image, Qt::LeftButton);
    QTRY_VERIFY_WITH_TIMEOUT(seen.shows >= 50, 10000);
    // After its fiftieth show the picture stays as it is.
    QTest::qWait(200);
    QCOMPARE(seen.hides, 50);
    QCOMPARE(seen.shows, 50);
    QVERIFY(image->isVisible());
}

void TestMainWindow::clickDuringBlinkStartsAfresh()
{
    QLabel* image = child<QLabel>(*m_main, "Image1");
    VisibilityCount seen(image);
    QTest::mouseClick(image, Qt::LeftButton);
    // Some cycles in, at a moment the picture is shown.
    QTRY_VERIFY(seen.hides >= 10 && image->isVisible());
    QVERIFY2(seen.shows < 40, qPrintable(QString::number(seen.shows)));

    seen.reset();
    QElapsedTimer clock;
    clock.start();
    QTest::mouseClick(image, Qt::LeftButton);
    QTRY_VERIFY_WITH_TIMEOUT(seen.shows >= 50, 10000);
    const qint64 took = clock.elapsed();
    QTest::qWait(200);
    // The second click brought 50 whole cycles of its own.
    QCOMPARE(seen.hides, 50);
    QCOMPARE(seen.shows, 50);
    // A fresh run takes its 100 phases of at least 16 ms each.
    QVERIFY2(took >= 100 * 16 - 50, qPrintable(QString::number(took)));
    QVERIFY(image->isVisible());
}

void TestMainWindow::closingMidBlinkIsSafe()
{
    QLabel* image = child<QLabel>(*m_main, "Image1");
    VisibilityCount seen(image);
    QTest::mouseClick(image, Qt::LeftButton);
    QTRY_VERIFY(seen.hides >= 2);
    QVERIFY(seen.shows < 50);
    QVERIFY(m_main->close());
    QVERIFY(!m_main->isVisible());
    // The blink ended with the window: the picture's own state stays.
    const bool hidden = image->isHidden();
    QVERIFY(!QTest::qWaitFor([&] { return image->isHidden() != hidden; }, 200));
    m_main.reset();
    QTest::qWait(100);
}

QTEST_MAIN(TestMainWindow)
#include "test_main_window.moc"

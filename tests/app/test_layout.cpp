#include "app/main_form.h"
#include "app/main_window.h"
#include "core/entry_line.h"
#include "core/entry_match.h"
#include "core/line_fit.h"
#include "core/vertical_stack.h"
#include "dialogs/entry_form.h"
#include "dialogs/file_box.h"
#include "dialogs/find_form.h"
#include "test_support.h"
#include "widgets/entry_list.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QImage>
#include <QLabel>
#include <QMap>
#include <QPushButton>
#include <QScrollBar>
#include <QStyle>
#include <QStyleOptionButton>
#include <QStyleOptionGroupBox>
#include <QTest>
#include <QToolButton>

#include <memory>

// Every window as Qt's style draws it here: each control whole, inside its
// parent and clear of its neighbours, and the list's whole entry line in
// sight with and without its scroll bar.

using namespace callvista;
using namespace callvista::testing;

namespace {

enum class Window { Main, Add, Edit, Find, ChooserNew, ChooserOpen, ChooserSaveAs };

// Control name -> the container it is drawn on by design.
using DrawnOn = QMap<QString, QString>;

std::unique_ptr<QWidget> makeWindow(Window which, EntryList& list)
{
    const QString full = makeEntryLine(QString(30, u'F'), QString(20, u'S'), QString(20, u'9'));
    switch (which) {
    case Window::Main:
        return std::make_unique<MainWindow>();
    case Window::Add:
        return std::make_unique<EntryForm>(AddEntries{insertInto(list)});
    case Window::Edit:
        return std::make_unique<EntryForm>(EditEntry{full});
    case Window::Find:
        return std::make_unique<FindForm>(list.lines(), list.currentRow(), Search{});
    case Window::ChooserNew:
        return std::make_unique<FileBox>(
            ChooserOptions{"Enter a New Callvista FileName", "Make", true, "CVA", false});
    case Window::ChooserOpen:
        return std::make_unique<FileBox>(
            ChooserOptions{"Open a Callvista", "Open", false, "CVA", true});
    case Window::ChooserSaveAs:
        return std::make_unique<FileBox>(ChooserOptions{"Save as to", "Save", true, "CVA", false});
    }
    return nullptr;
}

// The controls the table makes, by name.
QStringList namesOf(const FormTable& table)
{
    QStringList names;
    for (const FormControl& control : table.controls)
        names.append(QLatin1String(control.name));
    return names;
}

// The program's controls: every visible widget it named. Qt's own parts of a
// control (a list's viewport, its scroll bars) are named "qt_" or not at all.
QList<QWidget*> controlsOf(QWidget& window)
{
    QList<QWidget*> controls;
    for (QWidget* widget : window.findChildren<QWidget*>()) {
        const QString name = widget->objectName();
        if (!name.isEmpty() && !name.startsWith(QLatin1String("qt_"))
            && widget->isVisibleTo(&window))
            controls.append(widget);
    }
    return controls;
}

QString describe(const QRect& r)
{
    return QStringLiteral("(%1,%2 %3x%4)").arg(r.x()).arg(r.y()).arg(r.width()).arg(r.height());
}

QString describe(const QWidget* widget)
{
    return widget->objectName() + u' ' + describe(widget->geometry());
}

bool fits(const QSize& drawn, const QRect& room)
{
    return drawn.width() <= room.width() && drawn.height() <= room.height();
}

// What of the control the style would draw outside the control or its
// text room, described; empty when it is drawn whole.
QString cutPart(const QWidget* control)
{
    const QStyle* style = control->style();
    const QFontMetrics metrics = control->fontMetrics();
    if (const auto* box = qobject_cast<const QCheckBox*>(control)) {
        QStyleOptionButton option;
        option.initFrom(box);
        option.text = box->text();
        const QRect indicator = style->subElementRect(QStyle::SE_CheckBoxIndicator, &option, box);
        if (!box->rect().contains(indicator))
            return QStringLiteral("box %1 outside").arg(describe(indicator));
        const QRect room = style->subElementRect(QStyle::SE_CheckBoxContents, &option, box);
        if (!fits(metrics.size(Qt::TextShowMnemonic, box->text()), room))
            return QStringLiteral("caption wider or taller than %1").arg(describe(room));
    } else if (const auto* button = qobject_cast<const QPushButton*>(control)) {
        QStyleOptionButton option;
        option.initFrom(button);
        option.text = button->text();
        const QRect room = style->subElementRect(QStyle::SE_PushButtonContents, &option, button);
        if (!fits(metrics.size(Qt::TextShowMnemonic, button->text()), room))
            return QStringLiteral("caption wider or taller than %1").arg(describe(room));
    } else if (const auto* tool = qobject_cast<const QToolButton*>(control)) {
        // Picture over caption.
        const QSize caption = metrics.size(Qt::TextShowMnemonic, tool->text());
        if (caption.width() > tool->width()
            || tool->iconSize().height() + caption.height() > tool->height())
            return QStringLiteral("picture and caption larger than the button");
    } else if (const auto* label = qobject_cast<const QLabel*>(control)) {
        if (!label->text().isEmpty()
            && !fits(metrics.size(Qt::TextShowMnemonic, label->text()), label->contentsRect()))
            return QStringLiteral("text wider or taller than %1")
                .arg(describe(label->contentsRect()));
    }
    return {};
}

// The caption the frame draws in its top line, in its parent's coordinates.
QRect captionOf(const QGroupBox* frame)
{
    QStyleOptionGroupBox option;
    option.initFrom(frame);
    option.text = frame->title();
    option.textAlignment = frame->alignment();
    option.lineWidth = 1;
    option.subControls = QStyle::SC_GroupBoxFrame | QStyle::SC_GroupBoxLabel;
    return frame->style()
        ->subControlRect(QStyle::CC_GroupBox, &option, QStyle::SC_GroupBoxLabel, frame)
        .translated(frame->pos());
}

// A full-width entry line per row: 30 + 20 + 20 characters, the family
// numbered so that the rows keep one order, the phone ending in `last`.
QList<QStringList> fullWidthEntries(int count, QChar last)
{
    QList<QStringList> entries;
    for (int i = 0; i < count; ++i)
        entries.append({QStringLiteral("%1").arg(i, 2, 10, QLatin1Char('0')) + QString(28, u'W'),
                        QString(20, u'M'), QStringLiteral("0123456789012345678") + last});
    return entries;
}

QImage listWith(const QWidget& window, const QList<QStringList>& entries)
{
    EntryList* list = entryList(window);
    list->clear();
    putEntries(window, entries);
    list->doItemsLayout();
    return list->grab().toImage();
}

// The smallest rectangle holding every pixel in which the two images differ.
QRect differingPixels(const QImage& a, const QImage& b)
{
    QRect changed;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x)
            if (a.pixel(x, y) != b.pixel(x, y))
                changed |= QRect(x, y, 1, 1);
    return changed;
}

} // namespace

Q_DECLARE_METATYPE(Window)

class TestLayout : public QObject
{
    Q_OBJECT

private slots:
    void fitsTheLine_data();
    void fitsTheLine();
    void stacksVertically_data();
    void stacksVertically();
    void controlsStandWhole_data();
    void controlsStandWhole();
    void wholeEntryLineShows_data();
    void wholeEntryLineShows();
};

void TestLayout::fitsTheLine_data()
{
    // A line as wide as `perPoint` pixels a point, tried from 9.6 points
    // down to 8 in quarter points, in a room of 531 pixels.
    QTest::addColumn<double>("perPoint");
    QTest::addColumn<int>("bar");
    QTest::addColumn<double>("pointSize");
    QTest::addColumn<int>("widening");

    QTest::newRow("the design size fits") << 50.0 << 14 << 9.6 << 0;
    QTest::newRow("the first quarter point below it") << 55.8 << 14 << 9.5 << 0;
    QTest::newRow("further down the quarter points") << 58.0 << 14 << 9.0 << 0;
    QTest::newRow("the smallest readable size, exactly") << 531.0 / 8 << 14 << 8.0 << 0;
    QTest::newRow("none beside the bar: widened, at the largest then") << 66.5 << 40 << 8.5 << 40;
    QTest::newRow("none even widened: widened, at the smallest") << 70.0 << 14 << 8.0 << 14;
}

void TestLayout::fitsTheLine()
{
    QFETCH(double, perPoint);
    QFETCH(int, bar);
    QFETCH(double, pointSize);
    QFETCH(int, widening);

    const LineFit fit =
        fitLine({9.6, 8, 0.25}, 531, bar, [&](double points) { return points * perPoint; });
    QCOMPARE(fit.pointSize, pointSize);
    QCOMPARE(fit.widening, widening);
}

void TestLayout::stacksVertically_data()
{
    QTest::addColumn<QList<int>>("designTops");
    QTest::addColumn<QList<int>>("heights");
    QTest::addColumn<int>("top");
    QTest::addColumn<int>("bottom");
    QTest::addColumn<QList<int>>("tops");

    QTest::newRow("clear of each other: at their design tops")
        << QList<int>{112, 150} << QList<int>{17, 16} << 100 << 200 << QList<int>{112, 150};
    QTest::newRow("a taller extent pushes the next down")
        << QList<int>{112, 128} << QList<int>{17, 16} << 100 << 200 << QList<int>{112, 129};
    QTest::newRow("past the bottom: the stack moves up")
        << QList<int>{112, 128} << QList<int>{17, 16} << 108 << 144 << QList<int>{111, 128};
    QTest::newRow("moved up no further than the top")
        << QList<int>{112, 128} << QList<int>{20, 20} << 108 << 148 << QList<int>{108, 128};
    QTest::newRow("too tall for the room: from the top, past the bottom")
        << QList<int>{112, 128} << QList<int>{20, 20} << 108 << 140 << QList<int>{108, 128};
    QTest::newRow("an extent above its room comes down into it")
        << QList<int>{90, 128} << QList<int>{17, 16} << 108 << 144 << QList<int>{108, 128};
}

void TestLayout::stacksVertically()
{
    QFETCH(QList<int>, designTops);
    QFETCH(QList<int>, heights);
    QFETCH(int, top);
    QFETCH(int, bottom);
    QFETCH(QList<int>, tops);

    QList<VerticalExtent> extents;
    for (qsizetype i = 0; i < designTops.size(); ++i)
        extents.append({designTops[i], heights[i]});
    QCOMPARE(stackVertically(extents, top, bottom), tops);
}

void TestLayout::controlsStandWhole_data()
{
    QTest::addColumn<Window>("window");
    QTest::addColumn<QStringList>("controls");
    QTest::addColumn<DrawnOn>("drawnOn");

    const QStringList chooser = namesOf(FileBox::table());
    // The main window's table lays out its client area, a control itself.
    const FormTable main = MainForm::table();
    QTest::newRow("main window") << Window::Main
                                 << namesOf(main) + QStringList{QLatin1String(main.name)}
                                 << DrawnOn{};
    QTest::newRow("Add") << Window::Add << namesOf(EntryForm::addTable()) << DrawnOn{};
    QTest::newRow("Edit") << Window::Edit << namesOf(EntryForm::editTable()) << DrawnOn{};
    // The options are the frame's own controls; Clear Fields is the form's,
    // laid over the frame, which only outlines it.
    QTest::newRow("Find") << Window::Find << namesOf(FindForm::table())
                          << DrawnOn{{"ClearCmd", "Frame1"}};
    QTest::newRow("chooser for New") << Window::ChooserNew << chooser << DrawnOn{};
    QTest::newRow("chooser for Open") << Window::ChooserOpen << chooser << DrawnOn{};
    QTest::newRow("chooser for Save As") << Window::ChooserSaveAs << chooser << DrawnOn{};
}

void TestLayout::controlsStandWhole()
{
    QFETCH(Window, window);
    QFETCH(QStringList, controls);
    QFETCH(DrawnOn, drawnOn);

    EntryList list;
    const std::unique_ptr<QWidget> shown = makeWindow(window, list);
    shown->show();
    QVERIFY(QTest::qWaitForWindowExposed(shown.get()));

    const QList<QWidget*> found = controlsOf(*shown);
    QStringList names;
    for (const QWidget* control : found)
        names.append(control->objectName());
    names.sort();
    controls.sort();
    QCOMPARE(names, controls);

    for (const QWidget* control : found) {
        const QWidget* parent = control->parentWidget();
        QVERIFY2(parent->contentsRect().contains(control->geometry()),
                 qPrintable(describe(control) + " leaves " + parent->objectName()));
        if (const auto* frame = qobject_cast<const QGroupBox*>(parent))
            QVERIFY2(!captionOf(frame).translated(-frame->pos()).intersects(control->geometry()),
                     qPrintable(describe(control) + " covers the caption of " + describe(frame)));
        const QString cut = cutPart(control);
        QVERIFY2(cut.isEmpty(), qPrintable(describe(control) + ": " + cut));
    }

    for (auto on = drawnOn.cbegin(); on != drawnOn.cend(); ++on) {
        const QWidget* control = child(*shown, qPrintable(on.key()));
        const auto* frame = child<QGroupBox>(*shown, qPrintable(on.value()));
        QVERIFY(control && frame);
        QCOMPARE(control->parentWidget(), frame->parentWidget());
        const QRect contents = frame->contentsRect().translated(frame->pos());
        QVERIFY2(contents.contains(control->geometry()),
                 qPrintable(describe(control) + " leaves the contents of " + describe(frame)));
        QVERIFY2(!captionOf(frame).intersects(control->geometry()),
                 qPrintable(describe(control) + " covers the caption of " + describe(frame)));
    }

    // Compared where they stand in the window, so that a control inside a
    // frame is held against the controls laid over that frame too.
    const auto inWindow = [&](const QWidget* control) {
        return QRect(control->mapTo(shown.get(), QPoint(0, 0)), control->size());
    };
    for (qsizetype i = 0; i < found.size(); ++i)
        for (qsizetype j = i + 1; j < found.size(); ++j) {
            const QWidget* a = found[i];
            const QWidget* b = found[j];
            if (a->isAncestorOf(b) || b->isAncestorOf(a)
                || drawnOn.value(a->objectName()) == b->objectName()
                || drawnOn.value(b->objectName()) == a->objectName())
                continue;
            QVERIFY2(!inWindow(a).intersects(inWindow(b)),
                     qPrintable(describe(a) + " overlaps " + describe(b)));
        }
}

void TestLayout::wholeEntryLineShows_data()
{
    QTest::addColumn<int>("entries");
    QTest::addColumn<bool>("scrollBar");

    QTest::newRow("5 entries, no scroll bar") << 5 << false;
    QTest::newRow("40 entries, beside the scroll bar") << 40 << true;
}

void TestLayout::wholeEntryLineShows()
{
    QFETCH(int, entries);
    QFETCH(bool, scrollBar);

    MainWindow window;
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    // The same lines twice, once without the phone's last character: the
    // pixels that differ are that character as the list draws it.
    const QImage whole = listWith(window, fullWidthEntries(entries, u'9'));
    const QImage shortened = listWith(window, fullWidthEntries(entries, u' '));
    const EntryList* list = entryList(window);
    QCOMPARE(list->verticalScrollBar()->isVisible(), scrollBar);

    const QRect last = differingPixels(whole, shortened);
    QVERIFY2(!last.isEmpty(), "the last character of the phone column is not drawn");
    const QRect viewport = list->viewport()->geometry();
    QVERIFY2(viewport.contains(last), qPrintable(describe(last)));
    // Cut off by the viewport, a character runs up to its last column.
    QVERIFY2(last.right() < viewport.right(),
             qPrintable(describe(last) + " reaches the edge of " + describe(viewport)));
    if (scrollBar)
        QVERIFY(last.right() < list->verticalScrollBar()->mapTo(list, QPoint(0, 0)).x());
}

QTEST_MAIN(TestLayout)
#include "test_layout.moc"

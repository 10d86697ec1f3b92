#include "app/main_window.h"
#include "core/entry_line.h"
#include "core/line_fit.h"
#include "test_support.h"
#include "widgets/entry_list.h"

#include <QImage>
#include <QScrollBar>
#include <QTest>

// The main window as Qt's style draws it here: the list's whole entry line
// in sight with and without its scroll bar.

using namespace callvista;
using namespace callvista::testing;

namespace {

QString describe(const QRect& r)
{
    return QStringLiteral("(%1,%2 %3x%4)").arg(r.x()).arg(r.y()).arg(r.width()).arg(r.height());
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

class TestLayout : public QObject
{
    Q_OBJECT

private slots:
    void fitsTheLine_data();
    void fitsTheLine();
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
    QTest::newRow("none beside the bar: widened, at the largest then")
        << 66.5 << 40 << 8.5 << 40;
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

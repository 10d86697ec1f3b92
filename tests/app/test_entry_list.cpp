#include "app/main_window.h"
#include "core/shown_entry.h"
#include "test_support.h"

#include <QCursor>
#include <QFontMetricsF>
#include <QLabel>
#include <QPainter>
#include <QScreen>
#include <QScrollBar>
#include <QTextLayout>

#include <memory>

using namespace callvista;
using namespace callvista::testing;

namespace {

// The window's pixels as the screen shows them: under X they are read back
// from the server, so what is checked is what a person sees.
QImage screenPixels(QWidget& window)
{
    // The pointer is kept off the window: neither a hovered row nor the
    // pointer's own image is part of what is compared.
    const QRect screen = window.screen()->geometry();
    for (const QPoint away : {screen.bottomRight(), screen.bottomLeft(), screen.topRight()})
        if (!window.frameGeometry().adjusted(-4, -4, 4, 4).contains(away)) {
            QCursor::setPos(window.screen(), away);
            break;
        }
    QCoreApplication::processEvents();
    window.repaint();
    QCoreApplication::processEvents();
    QImage shot;
    // The server may show the last frame a moment late: two equal reads in a
    // row are the settled picture.
    for (int attempt = 0; attempt < 20; ++attempt) {
        const QImage next = window.screen()
                                ->grabWindow(window.winId())
                                .toImage()
                                .convertToFormat(QImage::Format_RGB32);
        if (!shot.isNull() && next == shot)
            break;
        shot = next;
        QTest::qWait(50);
    }
    return shot;
}

// The row's rectangle in the window, in the image's pixels.
QRect rowInWindow(const QWidget& window, int row)
{
    const EntryList* list = entryList(window);
    const QRect rect = list->visualRect(list->model()->index(row, 0));
    const qreal ratio = window.devicePixelRatioF();
    const QRect inWindow(list->viewport()->mapTo(&window, rect.topLeft()), rect.size());
    return QRect(QPoint(qRound(inWindow.left() * ratio), qRound(inWindow.top() * ratio)),
                 QSize(qRound(inWindow.width() * ratio), qRound(inWindow.height() * ratio)));
}

int rowOf(const QWidget& window, const QString& family)
{
    const EntryList* list = entryList(window);
    for (int row = 0; row < list->count(); ++row)
        if (entryField(list->itemText(row), Field::Family) == family)
            return row;
    return -1;
}

// The smallest rectangle of pixels in `area` that differ from `background`.
QRect inkIn(const QImage& image, const QRect& area, QRgb background)
{
    QRect ink;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            if (image.pixel(x, y) != background)
                ink |= QRect(x, y, 1, 1);
    return ink;
}

// The height of the text's ink drawn in the font with room all round.
int freeInkHeight(const QString& text, const QFont& font)
{
    const int size = 4 * QFontMetrics(font).height();
    QImage image(QFontMetrics(font).horizontalAdvance(text) + size, size, QImage::Format_RGB32);
    image.fill(Qt::white);
    {
        QPainter painter(&image);
        painter.setPen(Qt::black);
        QTextLayout layout(text, font);
        layout.beginLayout();
        layout.createLine();
        layout.endLayout();
        layout.draw(&painter, QPointF(size / 4, size / 4));
    }
    return inkIn(image, image.rect(), qRgb(255, 255, 255)).height();
}

} // namespace

class TestEntryList : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void fieldsStandInTheirColumns_data();
    void fieldsStandInTheirColumns();
    void marksSitOnTheirLetters();
    void ctrlKeepsTheOnlySelection_data();
    void ctrlKeepsTheOnlySelection();
    void ctrlClickSelectsAnotherLine();
    void ctrlDoubleClickEditsThatLine();

private:
    std::unique_ptr<MainWindow> m_main;
};

void TestEntryList::init()
{
    m_main = std::make_unique<MainWindow>();
    showActive(*m_main);
}

void TestEntryList::cleanup()
{
    m_main.reset();
}

void TestEntryList::fieldsStandInTheirColumns_data()
{
    QTest::addColumn<QString>("family");
    QTest::addColumn<bool>("wholeInk");
    QTest::addColumn<bool>("scrollBar");

    const QList<std::pair<const char*, QString>> names{
        {"Hebrew", QString::fromUtf16(u"\u05db\u05d4\u05df \u05dc\u05d5\u05d9")},
        {"Arabic", QString::fromUtf16(u"\u062d\u062f\u0627\u062f")},
        {"CJK", QString::fromUtf16(u"\u5c71\u7530\u592a\u90ce")},
        {"tab", QString::fromUtf16(u"Tab\tName")},
        {"line separator", QString::fromUtf16(u"Line\u2028Break")},
        {"combining marks", QString::fromUtf16(u"Jose\u0301 Rene\u0301e Ga\u0300\u0323")},
        {"emoji", QString::fromUtf16(u"Emoji \U0001F600\U0001F389")},
        {"accented capitals", QString::fromUtf16(u"\u00c9MILE \u00c5SA \u1ec4")},
        {"marks below", QString::fromUtf16(u"\u015e\u0327\u0229 \u0105gj\u0331")},
    };
    for (const bool scrollBar : {false, true})
        for (const auto& [what, family] : names)
            QTest::newRow(qPrintable(QStringLiteral("%1%2").arg(
                QLatin1String(what),
                scrollBar ? QStringLiteral(", beside the scroll bar") : QString())))
                << family << true << scrollBar;
    // Wider than the column: cut at the cell's end, never into the next.
    QTest::newRow("CJK filling the column") << QString(30, QChar(0x5c71)) << false << false;
    QTest::newRow("Arabic filling the column")
        << QString::fromUtf16(u"\u062d\u062f\u0627\u062f ").repeated(6).trimmed() << false << false;
}

void TestEntryList::fieldsStandInTheirColumns()
{
    QFETCH(QString, family);
    QFETCH(bool, wholeInk);
    QFETCH(bool, scrollBar);

    // A plain Latin line with the same short name and phone is the measure.
    QList<QStringList> entries{
        {"AAA", "First", "100"}, {"AAB", "Dan", "123"}, {family, "Dan", "123"}};
    if (scrollBar)
        for (int i = 0; i < 40; ++i)
            entries.append({QStringLiteral("~%1").arg(i, 2, 10, QLatin1Char('0')), "x", "1"});
    putEntries(*m_main, entries);
    EntryList* list = entryList(*m_main);
    list->doItemsLayout();
    list->scrollToTop();
    QCOMPARE(list->verticalScrollBar()->isVisible(), scrollBar);

    // Each row as the window shows it, scrolled into view: a row's pixels
    // do not depend on where in the list it stands.
    const auto rowPixels = [&](const QString& name) {
        const int row = rowOf(*m_main, name);
        if (row < 0)
            return QImage();
        list->scrollTo(list->model()->index(row, 0));
        return screenPixels(*m_main).copy(rowInWindow(*m_main, row));
    };
    const QImage plain = rowPixels("AAB");
    const QImage mixed = rowPixels(family);
    QVERIFY(!plain.isNull() && !mixed.isNull());
    QCOMPARE(mixed.size(), plain.size());

    // From the first bar to the list's right edge, the row is the plain
    // row pixel for pixel: bars, short name and phone where they stand.
    const QFontMetricsF metrics(list->font());
    const int firstBar =
        qFloor((list->textInset() - list->frameWidth()) * m_main->devicePixelRatioF()
               + EntryWidths.family * metrics.horizontalAdvance(u'0'));
    for (int y = 0; y < plain.height(); ++y)
        for (int x = firstBar; x < plain.width(); ++x)
            if (mixed.pixel(x, y) != plain.pixel(x, y))
                QFAIL(qPrintable(QStringLiteral("the row differs from the plain one at x=%1, y=%2")
                                     .arg(x)
                                     .arg(y)));

    // The family is drawn, inside its cell and inside the row.
    const QRgb background = plain.pixel(plain.width() - 3, plain.height() / 2);
    const QRect ink = inkIn(mixed, QRect(0, 0, firstBar, mixed.height()), background);
    QVERIFY2(!ink.isEmpty(), "the family name is not drawn");
    QVERIFY2(ink.top() > 0 && ink.bottom() < mixed.height() - 1,
             qPrintable(QStringLiteral("ink rows %1-%2 reach the edge of the row, 0-%3")
                            .arg(ink.top())
                            .arg(ink.bottom())
                            .arg(mixed.height() - 1)));
    if (wholeInk) {
        // Nothing cut off at the top or the foot: the ink is as tall as the
        // same text drawn with room all round.
        const int free = freeInkHeight(visibleField(family), list->font());
        QVERIFY2(
            ink.height() >= free,
            qPrintable(
                QStringLiteral("ink %1 high in the row, %2 free").arg(ink.height()).arg(free)));
    }
}

void TestEntryList::marksSitOnTheirLetters()
{
    // Stored decomposed, as macOS and many web forms store it, a name is
    // drawn as its composed form is: the accents on their letters.
    const QString decomposed = QString::fromUtf16(u"Jose\u0301 A\u030angstro\u0308m");
    const QString composed = QString::fromUtf16(u"Jos\u00e9 \u00c5ngstr\u00f6m");
    putEntries(*m_main, {{decomposed, "Dan", "1"}, {composed, "Dan", "2"}});
    EntryList* list = entryList(*m_main);
    const QImage image = screenPixels(*m_main);
    const QFontMetricsF metrics(list->font());
    const int cellWidth = qFloor(EntryWidths.family * metrics.horizontalAdvance(u'0'));
    const auto familyCell = [&](const QString& name) {
        const QRect row = rowInWindow(*m_main, rowOf(*m_main, name));
        return image.copy(row.left(), row.top(), cellWidth, row.height());
    };
    QVERIFY(rowOf(*m_main, decomposed) >= 0 && rowOf(*m_main, composed) >= 0);
    QCOMPARE(familyCell(decomposed), familyCell(composed));
}

void TestEntryList::ctrlKeepsTheOnlySelection_data()
{
    QTest::addColumn<bool>("bySpace");
    QTest::newRow("Ctrl+click") << false;
    QTest::newRow("Ctrl+Space") << true;
}

void TestEntryList::ctrlKeepsTheOnlySelection()
{
    QFETCH(bool, bySpace);
    putEntries(*m_main, {{"Adams", "A", "1"}, {"Baker", "B", "2"}, {"Cole", "C", "3"}});
    EntryList* list = entryList(*m_main);
    const QRect rect = list->visualRect(list->model()->index(1, 0));
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, rect.center());
    QCOMPARE(list->currentRow(), int(1));
    const QColor selected = list->viewport()->grab().toImage().pixelColor(
        list->viewport()->width() - 4, rect.center().y());

    if (bySpace)
        QTest::keyClick(list, Qt::Key_Space, Qt::ControlModifier);
    else
        QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::ControlModifier, rect.center());
    QCOMPARE(list->currentRow(), int(1));
    // Still drawn as selected.
    QCOMPARE(list->viewport()->grab().toImage().pixelColor(list->viewport()->width() - 4,
                                                           rect.center().y()),
             selected);
    // And Delete asks about the line that shows as selected.
    MessageScript messages;
    messages.answer(MessageAnswer::No);
    QTest::mouseClick(child<QAbstractButton>(*m_main, "DelCmd"), Qt::LeftButton);
    QCOMPARE(messages.asked.size(), 1);
    QCOMPARE(messages.asked.first().text, QStringLiteral("Are You Sure to Remove 'BAKER' ?"));
}

void TestEntryList::ctrlClickSelectsAnotherLine()
{
    putEntries(*m_main, {{"Adams", "A", "1"}, {"Baker", "B", "2"}, {"Cole", "C", "3"}});
    EntryList* list = entryList(*m_main);
    const auto center = [&](int row) {
        return list->visualRect(list->model()->index(row, 0)).center();
    };
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, center(0));
    QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::ControlModifier, center(2));
    QCOMPARE(list->currentRow(), int(2));
    QCOMPARE(list->selectionModel()->selectedRows().size(), 1);
}

void TestEntryList::ctrlDoubleClickEditsThatLine()
{
    putEntries(*m_main, {{"Adams", "A", "1"}, {"Baker", "B", "2"}, {"Cole", "C", "3"}});
    EntryList* list = entryList(*m_main);
    const QPoint at = list->visualRect(list->model()->index(2, 0)).center();
    ModalScript dialogs;
    QString edited;
    dialogs.then([&](QDialog& dialog) {
        edited = child<QLineEdit>(dialog, "Family")->text();
        dialog.reject();
    });
    QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::ControlModifier, at);
    QTest::mouseDClick(list->viewport(), Qt::LeftButton, Qt::ControlModifier, at);
    QCOMPARE(dialogs.shown, QStringList{"EditForm"});
    QCOMPARE(edited, QStringLiteral("Cole"));
    QCOMPARE(list->currentRow(), int(2));
}

QTEST_MAIN(TestEntryList)
#include "test_entry_list.moc"

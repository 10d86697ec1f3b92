#include "app/main_form.h"

#include "core/entry_line.h"
#include "core/line_fit.h"
#include "widgets/command_button.h"
#include "widgets/entry_list.h"
#include "widgets/geometry.h"
#include "widgets/image_button.h"

#include <QFontDatabase>
#include <QFontMetricsF>
#include <QLabel>
#include <QScrollBar>

namespace callvista {

namespace {

// Courier where it exists, elsewhere a font with Courier's metrics: the
// first of them the machine has, asked for alone. Asked for as a list, Qt
// looks for each missing family in turn, and for each one fontconfig sorts
// every installed font to offer a substitute that is then passed over.
// With none of them installed the whole list goes to Qt, whose fallbacks
// choose.
QStringList listFamilies()
{
    const QStringList designed{QStringLiteral("Courier"), QStringLiteral("Courier New"),
                               QStringLiteral("Liberation Mono")};
    for (const QString& family : designed)
        if (QFontDatabase::hasFamily(family))
            return {family};
    return designed;
}

// The list's font as designed. Its size is where the fitting starts.
QFont designListFont()
{
    QFont font;
    font.setFamilies(listFamilies());
    font.setStyleHint(QFont::TypeWriter);
    font.setFixedPitch(true);
    // Hinted across too, every column starts on a whole pixel: the bars are
    // drawn sharp, and the header's fall on the same pixels as the list's.
    font.setHintingPreference(QFont::PreferFullHinting);
    font.setPointSizeF(9.6);
    return font;
}

// The smallest size at which the list stays readable, and the steps by
// which the fitting goes down to it.
constexpr double SmallestListPoints = 8;
constexpr double ListPointStep = 0.25;

// Gives the list and its header the largest size of the list's font at
// which the whole entry line fits beside the list's scroll bar; where no
// readable size fits, the list and the window widen by the scroll bar.
void fitListFont(const MainForm& form)
{
    const QFont design = designListFont();
    const QString line(EntryWidths.lineLength(), u'0');
    // Measured in the font the machine has for the families asked for, at
    // each size tried.
    const auto widthAt = [&](double points) {
        QFont font = design;
        font.setPointSizeF(points);
        return QFontMetricsF(font).horizontalAdvance(line);
    };
    const LineFit fit = fitLine({design.pointSizeF(), SmallestListPoints, ListPointStep},
                                form.list->textRoomBesideScrollBar(),
                                form.list->verticalScrollBar()->sizeHint().width(), widthAt);
    if (fit.widening > 0) {
        form.client->setFixedWidth(form.client->width() + fit.widening);
        form.list->resize(form.list->width() + fit.widening, form.list->height());
        form.header->resize(form.header->width() + fit.widening, form.header->height());
    }
    QFont font = design;
    font.setPointSizeF(fit.pointSize);
    // The header takes the list's font, so that its bars keep standing over
    // the list's bars.
    form.list->setFont(font);
    form.header->setFont(font);
}

} // namespace

FormTable MainForm::table()
{
    using enum ControlKind;
    // The object names are the design's (AddCmd, Image1, Title): the tests,
    // the end-to-end scenarios and assistive tools find the controls by
    // them. The buttons stand 840 twips apart; the design's 852 ran each 12
    // twips over the next one's edge, a whole pixel once rounded. So did the
    // header's 252 twips down into the list, under the list's frame.
    const QList<FormControl> controls{
        {"AddCmd", Command, {0, 120, 840, 612}, 1, tr("&Add"), ":/icons/add.png"},
        {"EditCmd", Command, {840, 120, 840, 612}, 5, tr("&Edit"), ":/icons/edit.png"},
        {"DelCmd", Command, {1680, 120, 840, 612}, 2, tr("&Delete"), ":/icons/delete.png"},
        {"FindCmd", Command, {2520, 120, 840, 612}, 3, tr("F&ind"), ":/icons/find.png"},
        {"Image1", Picture, {4896, 48, 3360, 636}, 0, {}, ":/images/logo.png"},
        {"Title", Label, {0, 840, 8292, 240}},
        {"AdrList", Entries, {0, 1080, 8292, 4272}, 4},
    };
    return {"client", {8316, 5388}, controls};
}

MainForm buildMainForm(QWidget& window)
{
    const FormTable table = MainForm::table();
    MainForm form;
    form.client = new QWidget(&window);
    form.client->setObjectName(QLatin1String(table.name));
    form.client->setFixedSize(twipsSize(table.twips));
    QPalette palette = form.client->palette();
    palette.setColor(QPalette::Window, QColor(192, 192, 192));
    form.client->setPalette(palette);
    form.client->setAutoFillBackground(true);

    const FormControls controls = buildForm(*form.client, table);
    form.addButton = controls.get<CommandButton>("AddCmd");
    form.editButton = controls.get<CommandButton>("EditCmd");
    form.deleteButton = controls.get<CommandButton>("DelCmd");
    form.findButton = controls.get<CommandButton>("FindCmd");

    form.logo = controls.get<ImageButton>("Image1");
    form.logo->setToolTip(MainForm::tr("Click"));
    form.logo->setAccessibleName(MainForm::tr("Callvista logo"));

    form.header = controls.get<QLabel>("Title");
    form.header->setTextFormat(Qt::PlainText);
    form.header->setAutoFillBackground(true);
    QPalette titlePalette = form.header->palette();
    titlePalette.setColor(QPalette::Window, QColor(255, 192, 192));
    form.header->setPalette(titlePalette);

    form.list = controls.get<EntryList>("AdrList");
    form.list->setAccessibleName(MainForm::tr("Entries"));

    fitListFont(form);
    form.header->setText(headerLine());
    // Read aloud as its three titles, not as the padded line with its bars.
    form.header->setAccessibleName(columnCaptions().join(QStringLiteral(", ")));
    // The header's captions and bars stand over the columns only when the
    // label's text starts where the list's item text starts.
    form.header->setContentsMargins(form.list->textInset(), 0, 0, 0);
    return form;
}

} // namespace callvista

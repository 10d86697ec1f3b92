#include "app/main_form.h"

#include "widgets/command_button.h"
#include "widgets/entry_list.h"
#include "widgets/geometry.h"
#include "widgets/image_button.h"

#include <QLabel>

namespace callvista {

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
    return form;
}

} // namespace callvista

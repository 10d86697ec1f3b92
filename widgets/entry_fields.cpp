#include "widgets/entry_fields.h"

#include "widgets/field_validator.h"
#include "widgets/message_box.h"
#include "widgets/phone_edit.h"

#include <QFontMetrics>
#include <QLabel>
#include <QLineEdit>
#include <QWidget>

namespace callvista {

namespace {

// A caption wider than its label in the font at hand is drawn smaller rather
// than cut off.
void fitCaption(QLabel* label)
{
    QFont font = label->font();
    while (font.pointSizeF() > 6
           && QFontMetrics(font).horizontalAdvance(label->text()) > label->width())
        font.setPointSizeF(font.pointSizeF() - 0.5);
    label->setFont(font);
}

// A caption on its own colour, fitted to its label, naming its box.
void setUpLabel(QLabel* label, QLineEdit* box)
{
    label->setTextFormat(Qt::PlainText);
    label->setAutoFillBackground(true);
    QPalette palette = label->palette();
    palette.setColor(QPalette::Window, QColor(192, 255, 255));
    label->setPalette(palette);
    fitCaption(label);
    // The captions carry no access key; as buddies they name the boxes for
    // assistive technology.
    label->setBuddy(box);
}

void setUpBox(QLineEdit* box, int maxLength)
{
    box->setMaxLength(maxLength);
    box->setValidator(new FieldValidator(box));
}

bool blank(const QLineEdit* box)
{
    return trimSpaces(box->text()).isEmpty();
}

} // namespace

QList<FormControl> EntryFields::controls()
{
    using enum ControlKind;
    // The object names are the design's (Label1, Family): the tests and the
    // end-to-end scenarios find the controls by them. Each caption reaches
    // up to its box at 1440 twips; the design's widths ran 12 twips into the
    // boxes, a whole pixel once rounded, under the box's frame.
    return {
        {"Label1", Label, {360, 360, 1080, 252}, 0, tr("Family Name:")},
        {"Label2", Label, {480, 720, 960, 252}, 0, tr("Short Name:")},
        {"Label3", Label, {600, 1080, 840, 252}, 0, tr("Phone No:")},
        {"Family", TextBox, {1440, 360, 3132, 288}, 1},
        {"Short", TextBox, {1440, 720, 2892, 288}, 2},
        {"Phone", PhoneBox, {1440, 1080, 2652, 288}, 3},
    };
}

EntryFields::EntryFields(const FormControls& controls)
    : m_family(controls.get<QLineEdit>("Family"))
    , m_short(controls.get<QLineEdit>("Short"))
    , m_phone(controls.get<PhoneEdit>("Phone"))
{
    setUpBox(m_family, EntryWidths.family);
    setUpBox(m_short, EntryWidths.shortName);
    setUpBox(m_phone, EntryWidths.phone);
    setUpLabel(controls.get<QLabel>("Label1"), m_family);
    setUpLabel(controls.get<QLabel>("Label2"), m_short);
    setUpLabel(controls.get<QLabel>("Label3"), m_phone);
}

QString EntryFields::line() const
{
    return makeEntryLine(m_family->text(), m_short->text(), m_phone->text());
}

void EntryFields::setLine(const QString& line)
{
    setTexts(entryField(line, Field::Family), entryField(line, Field::Short),
             entryField(line, Field::Phone));
}

void EntryFields::setTexts(const QString& family, const QString& shortName, const QString& phone)
{
    m_family->setText(family);
    m_short->setText(shortName);
    m_phone->setText(phone);
}

void EntryFields::clear()
{
    m_family->clear();
    m_short->clear();
    m_phone->clear();
}

bool EntryFields::complete() const
{
    return isCompleteEntry(m_family->text(), m_short->text(), m_phone->text());
}

bool EntryFields::anyFilled() const
{
    return !blank(m_family) || !blank(m_short) || !blank(m_phone);
}

bool EntryFields::confirmComplete(QWidget* form) const
{
    if (complete())
        return true;
    showMessage(form, tr("Family & Short & Phone Must be Specified!"), tr("Warning"));
    return false;
}

void warnListFull(QWidget* form)
{
    showMessage(form, EntryFields::tr("The List is Full!"), EntryFields::tr("Warning"));
}

} // namespace callvista

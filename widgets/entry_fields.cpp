#include "widgets/entry_fields.h"

#include "widgets/field_validator.h"
#include "widgets/geometry.h"
#include "widgets/message_box.h"
#include "widgets/phone_edit.h"

#include <QFontMetrics>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
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

// Where the boxes start, in twips.
constexpr int BoxLeft = 1440;

// Each caption reaches up to its box. The design's widths ran 12 twips
// into the boxes, a whole pixel once rounded, under the box's frame.
QLabel* makeLabel(QWidget* form, const QString& name, const QString& caption, int left, int top)
{
    const int width = BoxLeft - left;
    auto* label = new QLabel(caption, form);
    label->setObjectName(name);
    label->setTextFormat(Qt::PlainText);
    label->setAutoFillBackground(true);
    QPalette palette = label->palette();
    palette.setColor(QPalette::Window, QColor(192, 255, 255));
    label->setPalette(palette);
    placeInTwips(label, left, top, width, 252);
    fitCaption(label);
    return label;
}

void setUpBox(QLineEdit* box, const QString& name, int maxLength, int top, int width)
{
    box->setObjectName(name);
    box->setMaxLength(maxLength);
    box->setValidator(new FieldValidator(box));
    placeInTwips(box, BoxLeft, top, width, 288);
}

bool blank(const QLineEdit* box)
{
    return trimSpaces(box->text()).isEmpty();
}

} // namespace

EntryFields::EntryFields(QWidget* form)
{
    // The object names are the design's (Label1, Family): the tests and the
    // end-to-end scenarios find the controls by them.
    QLabel* familyLabel = makeLabel(form, QStringLiteral("Label1"), tr("Family Name:"), 360, 360);
    QLabel* shortLabel = makeLabel(form, QStringLiteral("Label2"), tr("Short Name:"), 480, 720);
    QLabel* phoneLabel = makeLabel(form, QStringLiteral("Label3"), tr("Phone No:"), 600, 1080);

    m_family = new QLineEdit(form);
    setUpBox(m_family, QStringLiteral("Family"), EntryWidths.family, 360, 3132);
    m_short = new QLineEdit(form);
    setUpBox(m_short, QStringLiteral("Short"), EntryWidths.shortName, 720, 2892);
    m_phone = new PhoneEdit(form);
    setUpBox(m_phone, QStringLiteral("Phone"), EntryWidths.phone, 1080, 2652);

    // The captions carry no access key; as buddies they name the boxes for
    // assistive technology.
    familyLabel->setBuddy(m_family);
    shortLabel->setBuddy(m_short);
    phoneLabel->setBuddy(m_phone);

    QWidget::setTabOrder(m_family, m_short);
    QWidget::setTabOrder(m_short, m_phone);
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

void EntryFields::chainTabOrder(std::initializer_list<QWidget*> controls) const
{
    QWidget* previous = m_phone;
    for (QWidget* control : controls) {
        QWidget::setTabOrder(previous, control);
        previous = control;
    }
}

bool EntryFields::confirmComplete(QWidget* form) const
{
    if (complete())
        return true;
    showMessage(form, tr("Family & Short & Phone Must be Specified!"), tr("Warning"));
    return false;
}

QPushButton* makeFormButton(QWidget* form, const QString& name, const QString& caption, int left,
                            int top, int width, int height)
{
    auto* button = new QPushButton(caption, form);
    button->setObjectName(name);
    placeInTwips(button, left, top, width, height);
    return button;
}

void warnListFull(QWidget* form)
{
    showMessage(form, EntryFields::tr("The List is Full!"), EntryFields::tr("Warning"));
}

} // namespace callvista

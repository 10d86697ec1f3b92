#pragma once

#include "core/entry_line.h"
#include "widgets/form_table.h"

#include <QCoreApplication>
#include <QList>
#include <QString>
#include <Qt>

class QLineEdit;
class QWidget;

namespace callvista {

class PhoneEdit;

// The field layout of the Add, Edit and Find dialogs: the captions "Family
// Name:", "Short Name:" and "Phone No:" beside the boxes Family, Short and
// Phone, at the same places, first in the tab order, with the column widths
// of the entry line as their length limits. The captions are fitted to the
// form's font, which is set before the fields are made.
class EntryFields
{
    Q_DECLARE_TR_FUNCTIONS(EntryFields)

public:
    // The captions and the boxes, the first rows of each entry form's table.
    [[nodiscard]] static QList<FormControl> controls();

    // The fields among the controls made from a table that begins with
    // controls().
    explicit EntryFields(const FormControls& controls);

    [[nodiscard]] QLineEdit* family() const { return m_family; }
    [[nodiscard]] QLineEdit* shortName() const { return m_short; }
    [[nodiscard]] PhoneEdit* phone() const { return m_phone; }

    // The entry line of the three boxes as they stand.
    [[nodiscard]] QString line() const;
    // Shows the three fields of the entry line.
    void setLine(const QString& line);
    // Shows three texts as typed.
    void setTexts(const QString& family, const QString& shortName, const QString& phone);
    void clear();

    // True when each box holds more than spaces.
    [[nodiscard]] bool complete() const;
    // True when at least one box holds more than spaces.
    [[nodiscard]] bool anyFilled() const;

    // Tells the user, when a box is blank, that all three are needed. Returns
    // whether the fields are complete.
    [[nodiscard]] bool confirmComplete(QWidget* form) const;

private:
    QLineEdit* m_family = nullptr;
    QLineEdit* m_short = nullptr;
    PhoneEdit* m_phone = nullptr;
};

// Tells the user that the entry list holds all the entries it can.
void warnListFull(QWidget* form);

} // namespace callvista

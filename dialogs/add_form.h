#pragma once

#include "widgets/entry_fields.h"

#include <QDialog>

class QPushButton;

namespace callvista {

class EntryList;

// "Add New Entry": each "Add/Next" turns the three fields into an entry line,
// adds it to the given list at its sorted place and empties the fields for
// the next one; "Done" closes the dialog.
class AddForm : public QDialog
{
    Q_OBJECT

public:
    explicit AddForm(EntryList& list, QWidget* parent = nullptr);

    // True once an entry was added: the document has changed.
    [[nodiscard]] bool addedAny() const { return m_addedAny; }

private slots:
    void addEntry();

private:
    EntryList& m_list;
    EntryFields m_fields;
    QPushButton* m_addCmd = nullptr;
    QPushButton* m_doneCmd = nullptr;
    bool m_addedAny = false;
};

} // namespace callvista

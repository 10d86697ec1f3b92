#pragma once

#include "dialogs/form_dialog.h"
#include "widgets/entry_fields.h"

#include <functional>

class QPushButton;

namespace callvista {

// "Add New Entry": each "Add/Next" turns the three fields into an entry line,
// hands it to the caller to insert at its sorted place and empties the fields
// for the next one; "Done" closes the dialog.
class AddForm : public FormDialog
{
    Q_OBJECT

public:
    // Inserts the line; false when the list is full and nothing was added.
    using InsertEntry = std::function<bool(const QString& line)>;

    explicit AddForm(InsertEntry insert, QWidget* parent = nullptr);

    // True once an entry was added: the document has changed.
    [[nodiscard]] bool addedAny() const { return m_addedAny; }

private slots:
    void addEntry();

private:
    InsertEntry m_insert;
    EntryFields m_fields;
    QPushButton* m_addButton = nullptr;
    QPushButton* m_doneButton = nullptr;
    bool m_addedAny = false;
};

} // namespace callvista

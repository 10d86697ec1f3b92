#pragma once

#include "dialogs/form_dialog.h"
#include "widgets/entry_fields.h"

#include <QString>

#include <functional>
#include <optional>

class QPushButton;

namespace callvista {

// "Add New Entry": each "Add/Next" turns the three fields into an entry line,
// hands it to `insert` to put at its sorted place and empties the fields for
// the next one; "Done" closes the dialog. `insert` returns false when the
// list is full and nothing was added.
struct AddEntries {
    std::function<bool(const QString& line)> insert;
};

// "Edit Item": shows the entry line cut into its three fields by position;
// "Edit" builds the new line from the fields as they then stand and closes
// the dialog, "Cancel" leaves everything as it was.
struct EditEntry {
    QString line;
};

// The Add and the Edit dialog: the three entry fields over two buttons, the
// left one taking the entry once all three fields are filled, the right one
// closing the dialog.
class EntryForm : public FormDialog
{
    Q_OBJECT

public:
    EntryForm(AddEntries add, QWidget* parent = nullptr);
    EntryForm(const EditEntry& edit, QWidget* parent = nullptr);

    [[nodiscard]] static FormTable addTable();
    [[nodiscard]] static FormTable editTable();

    // Add: true once an entry was added, and the document has changed.
    [[nodiscard]] bool addedAny() const { return m_addedAny; }
    // Edit: the line that replaces the one shown, once "Edit" was pressed;
    // nothing when the dialog was left otherwise.
    [[nodiscard]] std::optional<QString> entry() const { return m_edited; }

private slots:
    void takeEntry();

private:
    // Which of the two dialogs it is.
    struct Purpose;
    static const Purpose AddPurpose;
    static const Purpose EditPurpose;
    [[nodiscard]] static FormTable tableFor(const Purpose& purpose);
    EntryForm(const Purpose& purpose, QWidget* parent);

    EntryFields m_fields;
    // Set for Add, empty for Edit.
    std::function<bool(const QString& line)> m_insert;
    bool m_addedAny = false;
    std::optional<QString> m_edited;
};

} // namespace callvista

#pragma once

#include "dialogs/form_dialog.h"
#include "widgets/entry_fields.h"

#include <QString>

#include <optional>

class QPushButton;

namespace callvista {

// "Edit Item": shows an entry line cut into its three fields by position;
// "Edit" builds the new line from the fields as they then stand and closes
// the dialog, "Cancel" leaves everything as it was.
class EditForm : public FormDialog
{
    Q_OBJECT

public:
    explicit EditForm(QWidget* parent = nullptr);

    // The entry line the dialog shows.
    void setEntry(const QString& line);
    // The line that replaces the one shown, once "Edit" was pressed; nothing
    // when the dialog was left otherwise.
    [[nodiscard]] std::optional<QString> entry() const { return m_edited; }

private slots:
    void editEntry();

private:
    EntryFields m_fields;
    QPushButton* m_editButton = nullptr;
    QPushButton* m_cancelButton = nullptr;
    std::optional<QString> m_edited;
};

} // namespace callvista

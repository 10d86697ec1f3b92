#pragma once

#include "widgets/entry_fields.h"

#include <QDialog>
#include <QString>

#include <optional>

class QPushButton;

namespace callvista {

// "Edit Item": opens on an entry line, cut into its three fields by
// position; "Edit" builds the new line from the fields as they then stand
// and closes the dialog, "Cancel" leaves everything as it was.
class EditForm : public QDialog
{
    Q_OBJECT

public:
    explicit EditForm(const QString& line, QWidget* parent = nullptr);

    // The line that replaces the one the dialog opened on, once "Edit" was
    // pressed; nothing when the dialog was left otherwise.
    [[nodiscard]] std::optional<QString> editedLine() const { return m_edited; }

private slots:
    void editEntry();

private:
    EntryFields m_fields;
    QPushButton* m_editCmd = nullptr;
    QPushButton* m_cancelCmd = nullptr;
    std::optional<QString> m_edited;
};

} // namespace callvista

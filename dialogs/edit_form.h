#pragma once

#include "dialogs/entry_fields.h"

#include <QDialog>

class QPushButton;

namespace callvista {

class Main;

// "Edit Item": opens on the selected line of the main window's list, cut into
// its three fields by position; "Edit" replaces the line by one built from the
// fields as they then stand, "Cancel" leaves everything as it was.
class EditForm : public QDialog
{
    Q_OBJECT

public:
    explicit EditForm(Main& main);

    [[nodiscard]] const EntryFields& fields() const { return m_fields; }

    void editCmdClick();
    void cancelCmdClick();

private:
    void load();

    Main& m_main;
    EntryFields m_fields;
    QPushButton* m_editCmd = nullptr;
    QPushButton* m_cancelCmd = nullptr;
};

} // namespace callvista

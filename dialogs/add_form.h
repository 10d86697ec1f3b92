#pragma once

#include "dialogs/entry_fields.h"

#include <QDialog>

class QPushButton;

namespace callvista {

class Main;

// "Add New Entry": each "Add/Next" turns the three fields into an entry line,
// adds it to the main window's sorted list and empties the fields for the
// next one; "Done" closes the dialog. The length limits of its boxes are the
// column widths that the main window reads at load.
class AddForm : public QDialog
{
    Q_OBJECT

public:
    explicit AddForm(Main& main);

    [[nodiscard]] const EntryFields& fields() const { return m_fields; }

    void addCmdClick();
    void doneCmdClick();

private:
    Main& m_main;
    EntryFields m_fields;
    QPushButton* m_addCmd = nullptr;
    QPushButton* m_doneCmd = nullptr;
};

} // namespace callvista

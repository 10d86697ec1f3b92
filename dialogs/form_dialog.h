#pragma once

#include "widgets/form_table.h"

#include <QDialog>

class QKeyEvent;
class QPushButton;

namespace callvista {

// The font a dialog's controls are drawn in: the 8-point sans serif the
// entry forms were laid out for, or the system's font.
enum class FormFont { Design, System };

// What every dialog of the program shares: the dialog frame (a title and a
// close box, no minimize or maximize box), its name, fixed size and controls
// from its table, its font, a default button that Enter presses, a button
// that leaves the dialog as Escape does, and a look at every key before the
// control with the focus gets it ("key preview"), so that Escape leaves the
// dialog from any control that Tab reaches.
class FormDialog : public QDialog
{
    Q_OBJECT

public:
    FormDialog(const FormTable& table, FormFont font, QWidget* parent);

protected:
    [[nodiscard]] const FormControls& controls() const { return m_controls; }
    // The button Enter presses, and the one (or none) that leaves the dialog.
    void setButtons(QPushButton* defaultButton, QPushButton* cancelButton = nullptr);
    // A key for `control`, before it gets it; Escape never comes here. True
    // when the key is used up.
    virtual bool previewKey(QObject* control, const QKeyEvent& key);

    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    FormControls m_controls;
};

} // namespace callvista

#pragma once

#include <QLineEdit>

class QKeyEvent;

namespace callvista {

// The character code that a key event types into a text box, the way the
// platform's keyboard hands it over: a typed character gives its code,
// Backspace gives 8 (127 with Ctrl), Ctrl with a letter gives the control code
// 1 to 26. Returns -1 for keys that type nothing: navigation and editing keys,
// Alt combinations, and Enter, Escape and Tab, which belong to the dialog.
[[nodiscard]] int typedCharacterCode(const QKeyEvent& event);

// A text box that lets through only the keystrokes that filterPhoneKey
// accepts. A refused key leaves text, caret and selection as they were. Only
// typing is filtered: text set by the program or pasted through the context
// menu stays as it is.
class PhoneEdit : public QLineEdit
{
    Q_OBJECT

public:
    explicit PhoneEdit(QWidget* parent = nullptr);

protected:
    bool event(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
};

} // namespace callvista

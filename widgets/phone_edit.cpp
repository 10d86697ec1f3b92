#include "widgets/phone_edit.h"

#include "core/phone_key.h"

#include <QKeyEvent>

namespace callvista {

namespace {

constexpr int NoCharacter = -1;
// Any character beyond the 7-bit range; the rule refuses all of them.
constexpr int BeyondAscii = 128;

bool isSpecialKey(int key)
{
    return key >= Qt::Key_Escape && key != Qt::Key_unknown;
}

} // namespace

int typedCharacterCode(const QKeyEvent& event)
{
    const int key = event.key();
    const bool ctrl = event.modifiers().testFlag(Qt::ControlModifier);
    const bool alt = event.modifiers().testFlag(Qt::AltModifier);

    if (key == Qt::Key_Backspace)
        return ctrl ? 127 : 8;
    if (isSpecialKey(key))
        return NoCharacter;
    // Ctrl together with Alt is AltGr, which types the character it shows.
    if (ctrl && !alt) {
        if (key >= Qt::Key_A && key <= Qt::Key_Z)
            return key - Qt::Key_A + 1;
        const QString text = event.text();
        if (text.size() == 1 && text.at(0).unicode() < 32)
            return text.at(0).unicode();
        return NoCharacter;
    }
    // Alt with a key picks an access key or a menu; it types nothing.
    if (alt && !ctrl)
        return NoCharacter;
    const QString text = event.text();
    if (text.isEmpty())
        return NoCharacter;
    if (text.size() > 1)
        return BeyondAscii;
    return text.at(0).unicode();
}

PhoneEdit::PhoneEdit(QWidget* parent)
    : QLineEdit(parent)
{
    // An input method would hand over composed text past the key events.
    setAttribute(Qt::WA_InputMethodEnabled, false);
}

bool PhoneEdit::event(QEvent* event)
{
    // Every typed character belongs to the box, Ctrl+C, Ctrl+V, Ctrl+X and
    // Ctrl+Z included, so no shortcut may take it before keyPressEvent.
    if (event->type() == QEvent::ShortcutOverride
        && typedCharacterCode(*static_cast<QKeyEvent*>(event)) != NoCharacter) {
        event->accept();
        return true;
    }
    return QLineEdit::event(event);
}

void PhoneEdit::keyPressEvent(QKeyEvent* event)
{
    const int code = typedCharacterCode(*event);
    if (code == NoCharacter) {
        // Navigation and editing keys keep their effect; a Ctrl or Alt chord
        // on a character key must not slip its character in.
        if (isSpecialKey(event->key()))
            QLineEdit::keyPressEvent(event);
        else
            event->ignore();
        return;
    }
    event->accept();
    const int accepted = code < BeyondAscii ? filterPhoneKey(code) : 0;
    if (accepted == 0)
        return;
    if (accepted == 8)
        backspace();
    else
        insert(QString(QChar(accepted)));
}

} // namespace callvista

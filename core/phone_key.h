#pragma once

#include <QtGlobal>

namespace callvista {

// The keystroke rule of the Phone boxes: takes the character code of one typed
// key (0 to 255) and gives it back unchanged when a phone number may hold it,
// or 0 when the keystroke is to be swallowed. Accepted are Backspace (8), "#",
// "$", "+", "-", "." and the digits.
[[nodiscard]] int filterPhoneKey(int code);

} // namespace callvista

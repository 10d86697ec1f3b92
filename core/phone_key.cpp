#include "core/phone_key.h"

namespace callvista {

int filterPhoneKey(int code)
{
    // The symbols and Backspace first, then the digit range.
    switch (code) {
    case u'-':
    case u'+':
    case 36:
    case 35:
    case 46:
    case 8:
        return code;
    default:
        break;
    }
    if (code >= 48 && code <= 57)
        return code;
    return 0;
}

} // namespace callvista

#include "app/font_warm_up.h"

#include <fontconfig/fontconfig.h>

namespace callvista {

// Qt's font database calls FcInit() at the first text it measures; parsing
// fontconfig's configuration is the largest part of that. Once it is done
// here, Qt's call finds the configuration loaded.
FontWarmUp::FontWarmUp()
    : m_thread([] { FcInit(); })
{
}

FontWarmUp::~FontWarmUp()
{
    finish();
}

void FontWarmUp::finish()
{
    if (m_thread.joinable())
        m_thread.join();
}

} // namespace callvista

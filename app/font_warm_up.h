#pragma once

#include <thread>

namespace callvista {

// Starts the part of finding fonts that needs no window system (where the
// platform has one: fontconfig reading its configuration) on a thread of its
// own, so that it runs while the application connects to the display.
// finish() waits for it; call it before the first text is measured, so that
// Qt does not do the same work a second time beside it.
class FontWarmUp
{
public:
    FontWarmUp();
    ~FontWarmUp();
    FontWarmUp(const FontWarmUp&) = delete;
    FontWarmUp& operator=(const FontWarmUp&) = delete;

    void finish();

private:
    std::thread m_thread;
};

} // namespace callvista

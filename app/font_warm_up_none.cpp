#include "app/font_warm_up.h"

namespace callvista {

// The platform finds its fonts without a configuration to read first.
FontWarmUp::FontWarmUp() = default;

FontWarmUp::~FontWarmUp() = default;

void FontWarmUp::finish() {}

} // namespace callvista

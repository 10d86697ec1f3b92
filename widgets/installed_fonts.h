#pragma once

#include <QByteArray>

namespace callvista {

// A digest of the fonts this process can draw with and of the configuration
// that picks among them (which fallback font serves which script): it
// changes when a font is installed, removed or updated, or the configuration
// is edited. Empty where the platform gives no such list; then nothing that
// depends on the fonts may be remembered between runs.
[[nodiscard]] QByteArray installedFontsDigest();

} // namespace callvista

#include "core/windows_sort_key.h"

#include <windows.h>

namespace callvista {

QByteArray windowsSortKey(const QLocale& locale, const QString& text)
{
    const std::wstring name = locale.name().replace(u'_', u'-').toStdWString();
    const auto* source = reinterpret_cast<const wchar_t*>(text.utf16());
    constexpr DWORD flags = LCMAP_SORTKEY | NORM_IGNORECASE;
    const int size = LCMapStringEx(name.c_str(), flags, source, int(text.size()), nullptr, 0,
                                   nullptr, nullptr, 0);
    QByteArray key(size, '\0');
    if (size > 0)
        LCMapStringEx(name.c_str(), flags, source, int(text.size()),
                      reinterpret_cast<wchar_t*>(key.data()), size, nullptr, nullptr, 0);
    return key;
}

} // namespace callvista

#include "widgets/installed_fonts.h"

#include <QCryptographicHash>
#include <QFileInfo>

#include <fontconfig/fontconfig.h>

namespace callvista {

namespace {

// Each font as fontconfig knows it: its file, its face in the file and the
// font's own version, which an update of the same file changes.
void addFonts(QCryptographicHash& hash, FcFontSet* fonts)
{
    if (!fonts)
        return;
    for (int i = 0; i < fonts->nfont; ++i) {
        FcChar8* file = nullptr;
        int index = 0;
        int version = 0;
        FcPatternGetString(fonts->fonts[i], FC_FILE, 0, &file);
        FcPatternGetInteger(fonts->fonts[i], FC_INDEX, 0, &index);
        FcPatternGetInteger(fonts->fonts[i], FC_FONTVERSION, 0, &version);
        if (file)
            hash.addData(QByteArrayView(reinterpret_cast<const char*>(file)));
        hash.addData(QByteArray::number(index) + ':' + QByteArray::number(version) + '\n');
    }
}

} // namespace

QByteArray installedFontsDigest()
{
    FcConfig* config = FcConfigGetCurrent();
    if (!config)
        return {};
    QCryptographicHash hash(QCryptographicHash::Sha1);
    addFonts(hash, FcConfigGetFonts(config, FcSetSystem));
    addFonts(hash, FcConfigGetFonts(config, FcSetApplication));
    // The configuration files decide the order of the fallback fonts.
    if (FcStrList* files = FcConfigGetConfigFiles(config)) {
        while (FcChar8* file = FcStrListNext(files)) {
            const QString path = QString::fromLocal8Bit(reinterpret_cast<const char*>(file));
            hash.addData(path.toUtf8() + ' '
                         + QByteArray::number(QFileInfo(path).lastModified().toMSecsSinceEpoch())
                         + '\n');
        }
        FcStrListDone(files);
    }
    return hash.result();
}

} // namespace callvista

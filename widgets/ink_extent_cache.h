#pragma once

#include <QFont>
#include <QString>

#include <optional>

namespace callvista {

// How far ink reaches above and below the baseline, in pixels.
struct InkExtent {
    int ascent = 0;
    int descent = 0;

    friend bool operator==(const InkExtent&, const InkExtent&) = default;
};

// Measuring a font's ink over the scripts names are written in loads a
// fallback font for nearly every script, which costs a large part of the
// start of a program that shows a list, and megabytes that stay resident.
// The result depends only on the font, the screen's resolution, the sample
// measured and the fonts installed with their configuration, so it is kept in
// the user's cache under a key made of all of them and measured again only
// when one of them changes.
class InkExtentCache
{
public:
    // The cache in the user's cache folder.
    InkExtentCache();
    // A cache in the given file, for tests.
    explicit InkExtentCache(QString file);

    // The key of the font measured over the sample, on the installed fonts
    // that `fontsDigest` names; empty when the digest is, and nothing is
    // then kept.
    [[nodiscard]] static QString keyFor(const QFont& font, const QString& sample,
                                        const QByteArray& fontsDigest);

    [[nodiscard]] std::optional<InkExtent> find(const QString& key) const;
    // Keeps the extent under the key; a cache that cannot be written is
    // measured again next time, nothing more.
    void keep(const QString& key, InkExtent extent) const;

private:
    QString m_file;
};

} // namespace callvista

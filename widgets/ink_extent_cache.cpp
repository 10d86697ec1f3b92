#include "widgets/ink_extent_cache.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFontMetricsF>
#include <QGuiApplication>
#include <QSaveFile>
#include <QScreen>
#include <QStandardPaths>

namespace callvista {

namespace {

// A few fonts at a few resolutions are all one user ever needs; older lines
// are dropped beyond this many.
constexpr int MaxKept = 16;

// One line a key: "<key> <ascent> <descent>".
QList<QByteArray> keptLines(const QString& file)
{
    QFile in(file);
    if (!in.open(QIODevice::ReadOnly))
        return {};
    // A cache this small never grows past a few kilobytes; anything larger
    // is not ours.
    return in.read(64 * 1024).split('\n');
}

} // namespace

InkExtentCache::InkExtentCache()
    : m_file(QDir(QStandardPaths::writableLocation(QStandardPaths::GenericCacheLocation))
                 .filePath(QStringLiteral("callvista/ink-extents")))
{
}

InkExtentCache::InkExtentCache(QString file)
    : m_file(std::move(file))
{
}

QString InkExtentCache::keyFor(const QFont& font, const QString& sample,
                               const QByteArray& fontsDigest)
{
    if (fontsDigest.isEmpty())
        return {};
    QCryptographicHash hash(QCryptographicHash::Sha1);
    hash.addData(fontsDigest);
    // The font as asked for and as this screen's resolution makes it.
    const QFontMetricsF metrics(font);
    const QScreen* screen = QGuiApplication::primaryScreen();
    hash.addData(QStringLiteral("%1\n%2 %3 %4 %5\n%6 %7\n")
                     .arg(font.key())
                     .arg(metrics.height())
                     .arg(metrics.ascent())
                     .arg(metrics.descent())
                     .arg(screen ? screen->logicalDotsPerInchY() : 0.0)
                     .arg(QGuiApplication::platformName(), QLatin1String(qVersion()))
                     .toUtf8());
    hash.addData(sample.toUtf8());
    return QString::fromLatin1(hash.result().toHex());
}

std::optional<InkExtent> InkExtentCache::find(const QString& key) const
{
    if (key.isEmpty())
        return std::nullopt;
    const QByteArray wanted = key.toLatin1();
    for (const QByteArray& line : keptLines(m_file)) {
        const QList<QByteArray> fields = line.split(' ');
        if (fields.size() != 3 || fields.at(0) != wanted)
            continue;
        bool ascentOk = false;
        bool descentOk = false;
        const InkExtent extent{fields.at(1).toInt(&ascentOk), fields.at(2).toInt(&descentOk)};
        // A damaged line is measured again, never trusted.
        if (ascentOk && descentOk && extent.ascent > 0 && extent.descent > 0 && extent.ascent < 1000
            && extent.descent < 1000)
            return extent;
        return std::nullopt;
    }
    return std::nullopt;
}

void InkExtentCache::keep(const QString& key, InkExtent extent) const
{
    if (key.isEmpty())
        return;
    const QByteArray wanted = key.toLatin1();
    QList<QByteArray> lines{wanted + ' ' + QByteArray::number(extent.ascent) + ' '
                            + QByteArray::number(extent.descent)};
    for (const QByteArray& line : keptLines(m_file)) {
        if (lines.size() >= MaxKept)
            break;
        if (!line.isEmpty() && !line.startsWith(wanted + ' '))
            lines.append(line);
    }
    QDir().mkpath(QFileInfo(m_file).path());
    // Whole or not at all: two programs starting together each write a
    // complete file, and the later one wins.
    QSaveFile out(m_file);
    if (!out.open(QIODevice::WriteOnly))
        return;
    out.write(lines.join('\n') + '\n');
    out.commit();
}

} // namespace callvista

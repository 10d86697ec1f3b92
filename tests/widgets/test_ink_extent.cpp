#include "widgets/entry_delegate.h"
#include "widgets/ink_extent_cache.h"
#include "widgets/installed_fonts.h"

#include <QApplication>
#include <QFile>
#include <QFontDatabase>
#include <QTemporaryDir>
#include <QTest>

using namespace callvista;

namespace {

QFont listFont()
{
    QFont font(QStringLiteral("Liberation Mono"));
    font.setStyleHint(QFont::TypeWriter);
    font.setPointSizeF(9.25);
    return font;
}

QByteArray readAll(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void writeAll(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    QCOMPARE(file.write(bytes), bytes.size());
}

} // namespace

class TestInkExtent : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void measuredOnceThenTakenFromTheCache();
    void otherFontsOrSizesAreMeasuredAgain();
    void damagedLinesAreMeasuredAgain_data();
    void damagedLinesAreMeasuredAgain();
    void withoutAListOfFontsNothingIsKept();
    void keepsOtherKeysAndABoundedNumber();
    void installedFontsChangeTheDigest();

private:
    QTemporaryDir m_dir;
    QString m_file;
    QByteArray m_digest;
    InkExtent m_measured;
};

void TestInkExtent::initTestCase()
{
    QVERIFY(m_dir.isValid());
    m_file = m_dir.filePath(QStringLiteral("cache/ink-extents"));
    m_digest = installedFontsDigest();
#ifdef Q_OS_WIN
    // Windows gives no list of fonts: the cache is tested with a digest of
    // its own.
    QVERIFY(m_digest.isEmpty());
    m_digest = QByteArrayLiteral("fonts of the test");
#else
    QVERIFY2(!m_digest.isEmpty(), "fontconfig lists the installed fonts");
#endif
    m_measured = EntryDelegate::inkExtent(listFont());
    const QFontMetrics metrics(listFont());
    QVERIFY(m_measured.ascent > metrics.ascent());
    QVERIFY(m_measured.descent > metrics.descent());
}

void TestInkExtent::measuredOnceThenTakenFromTheCache()
{
    QFile::remove(m_file);
    const InkExtentCache cache(m_file);
    // The first run measures, makes the folder and keeps what it measured.
    QCOMPARE(EntryDelegate::inkExtent(listFont(), cache, m_digest), m_measured);
    QCOMPARE(readAll(m_file).count('\n'), 1);
    QCOMPARE(EntryDelegate::inkExtent(listFont(), cache, m_digest), m_measured);
    QCOMPARE(readAll(m_file).count('\n'), 1);

    // What the file holds is what a later run takes, unmeasured.
    const QString key = InkExtentCache::keyFor(listFont(), QStringLiteral("sample"), m_digest);
    cache.keep(key, {40, 30});
    QCOMPARE(cache.find(key), (InkExtent{40, 30}));
    // The digest of the installed fonts is part of the key: a font added or
    // removed is a miss.
    QByteArray changed = m_digest;
    changed[0] = char(changed.at(0) ^ 1);
    QCOMPARE(cache.find(InkExtentCache::keyFor(listFont(), QStringLiteral("sample"), changed)),
             std::nullopt);
    QCOMPARE(cache.find(InkExtentCache::keyFor(listFont(), QStringLiteral("other"), m_digest)),
             std::nullopt);
}

void TestInkExtent::otherFontsOrSizesAreMeasuredAgain()
{
    QFile::remove(m_file);
    const InkExtentCache cache(m_file);
    QFont larger = listFont();
    larger.setPointSizeF(20);
    const QString key = InkExtentCache::keyFor(listFont(), QStringLiteral("s"), m_digest);
    QVERIFY(key != InkExtentCache::keyFor(larger, QStringLiteral("s"), m_digest));
    QFont other = listFont();
    other.setFamily(QStringLiteral("DejaVu Sans"));
    QVERIFY(key != InkExtentCache::keyFor(other, QStringLiteral("s"), m_digest));

    QCOMPARE(EntryDelegate::inkExtent(listFont(), cache, m_digest), m_measured);
    const InkExtent big = EntryDelegate::inkExtent(larger, cache, m_digest);
    QCOMPARE(big, EntryDelegate::inkExtent(larger));
    QVERIFY(big.ascent > m_measured.ascent);
    QCOMPARE(readAll(m_file).count('\n'), 2);
}

void TestInkExtent::damagedLinesAreMeasuredAgain_data()
{
    QTest::addColumn<QByteArray>("value");
    QTest::newRow("not numbers") << QByteArray("x y");
    QTest::newRow("one number") << QByteArray("14");
    QTest::newRow("zero") << QByteArray("0 6");
    QTest::newRow("negative") << QByteArray("14 -6");
    QTest::newRow("absurd") << QByteArray("14 99999");
    QTest::newRow("three numbers") << QByteArray("14 6 2");
}

void TestInkExtent::damagedLinesAreMeasuredAgain()
{
    QFETCH(QByteArray, value);
    const QString key = InkExtentCache::keyFor(listFont(), QStringLiteral("s"), m_digest);
    writeAll(m_file, key.toLatin1() + ' ' + value + '\n');
    const InkExtentCache cache(m_file);
    QCOMPARE(cache.find(key), std::nullopt);
}

void TestInkExtent::withoutAListOfFontsNothingIsKept()
{
    QFile::remove(m_file);
    const InkExtentCache cache(m_file);
    QVERIFY(InkExtentCache::keyFor(listFont(), QStringLiteral("s"), {}).isEmpty());
    QCOMPARE(EntryDelegate::inkExtent(listFont(), cache, {}), m_measured);
    QVERIFY(!QFile::exists(m_file));
}

void TestInkExtent::keepsOtherKeysAndABoundedNumber()
{
    QFile::remove(m_file);
    const InkExtentCache cache(m_file);
    const auto key = [&](int size) {
        QFont font = listFont();
        font.setPixelSize(size);
        return InkExtentCache::keyFor(font, QStringLiteral("s"), m_digest);
    };
    for (int size = 10; size < 40; ++size)
        cache.keep(key(size), {size, 2});
    // The latest ones stay, the oldest go.
    QCOMPARE(cache.find(key(39)), (InkExtent{39, 2}));
    QCOMPARE(cache.find(key(24)), (InkExtent{24, 2}));
    QCOMPARE(cache.find(key(23)), std::nullopt);
    QCOMPARE(readAll(m_file).count('\n'), 16);
    // Keeping a key again replaces its line.
    cache.keep(key(30), {31, 3});
    QCOMPARE(cache.find(key(30)), (InkExtent{31, 3}));
    QCOMPARE(readAll(m_file).count(key(30).toLatin1()), 1);
}

void TestInkExtent::installedFontsChangeTheDigest()
{
#ifdef Q_OS_WIN
    QSKIP("Windows gives no list of the installed fonts: every run measures");
#endif
    QCOMPARE(installedFontsDigest(), m_digest);
    QTemporaryDir fonts;
    QVERIFY(fonts.isValid());
    const QString copy = fonts.filePath(QStringLiteral("Added.ttf"));
    QVERIFY(
        QFile::copy(QStringLiteral("/usr/share/fonts/truetype/dejavu/DejaVuSansMono.ttf"), copy));
    const int id = QFontDatabase::addApplicationFont(copy);
    QVERIFY(id >= 0);
    const QByteArray added = installedFontsDigest();
    QVERIFY(added != m_digest);
    QCOMPARE(installedFontsDigest(), added);
}

QTEST_MAIN(TestInkExtent)
#include "test_ink_extent.moc"

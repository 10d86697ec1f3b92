#include "core/document_reader.h"
#include "core/document_writer.h"
#include "core/text_decoding.h"
#include "document_support.h"

#include <QBuffer>
#include <QFile>
#include <QTest>

using namespace callvista;
using namespace callvista::testing;

// The two lower pieces of the document format on their own: the decoding of
// a file's bytes into text, and the writer writing onto a device it is
// handed, a failing one included.
class TestDocumentCoding : public QObject
{
    Q_OBJECT

private slots:
    void decodesText_data();
    void decodesText();
    void readsEachLineOnItsOwn();
    void writesOntoADevice();
    void goesOnAfterShortWrites();
    void reportsTheDevicesFailure();
    void reportsARealFullDisk();
};

// A device that takes at most `step` bytes a call and fails once `limit`
// bytes are written.
class StingyDevice : public QBuffer
{
public:
    StingyDevice(qint64 step, qint64 limit)
        : m_step(step)
        , m_limit(limit)
    {
        open(QIODevice::WriteOnly);
    }

    int calls = 0;

protected:
    qint64 writeData(const char* data, qint64 size) override
    {
        ++calls;
        if (pos() >= m_limit) {
            setErrorString(QStringLiteral("The device is full."));
            return -1;
        }
        return QBuffer::writeData(data, std::min({size, m_step, m_limit - pos()}));
    }

private:
    qint64 m_step;
    qint64 m_limit;
};

static QByteArray utf16le(const QString& text)
{
    return QByteArray(reinterpret_cast<const char*>(text.utf16()), text.size() * 2);
}

void TestDocumentCoding::decodesText_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("windows1252Lines");

    const QString mixed = QString::fromUtf8("Müller\r\nZoë\r\n");
    QTest::newRow("UTF-8") << mixed.toUtf8() << mixed << 0;
    QTest::newRow("UTF-8 mark dropped")
        << QByteArray("\xef\xbb\xbf") + mixed.toUtf8() << mixed << 0;
    QTest::newRow("UTF-16 LE by its mark") << QByteArray("\xff\xfe") + utf16le(mixed) << mixed << 0;
    QTest::newRow("UTF-16 half pair dropped")
        << QByteArray("\xff\xfe") + utf16le(QStringLiteral("a")) + QByteArray("\x3d\xd8", 2)
               + utf16le(QStringLiteral("b\r\n"))
        << QStringLiteral("ab\r\n") << 0;
    // "ÿþ" and an odd length: no clean UTF-16, so the line is Windows-1252.
    QTest::newRow("a mark that is Windows-1252") << QByteArray("\xff\xfe"
                                                               "abc\r\n")
                                                 << QString::fromUtf8("ÿþabc\r\n") << 1;
    QTest::newRow("a later mark stays in its value") << QByteArray("a\r\n\xef\xbb\xbf"
                                                                   "b\r\n\xe9\r\n")
                                                     << QString::fromUtf8("a\r\n\xef\xbb\xbf"
                                                                          "b\r\né\r\n")
                                                     << 1;
    QTest::newRow("line ends kept as they are")
        << QByteArray("\xe9\r\r\n\n") << QString::fromUtf8("é\r\r\n\n") << 1;
    QTest::newRow("empty") << QByteArray() << QString() << 0;
}

void TestDocumentCoding::decodesText()
{
    if (QString::fromLocal8Bit("\xc3\xa9") != QString::fromUtf8("\xc3\xa9"))
        QSKIP("Where the system's encoding is a code page, its lines are read in it");
    QFETCH(QByteArray, bytes);
    QFETCH(QString, text);
    QFETCH(int, windows1252Lines);
    const DecodedText decoded = decodeText(bytes);
    QCOMPARE(decoded.text, text);
    QCOMPARE(decoded.windows1252Lines, windows1252Lines);
}

void TestDocumentCoding::readsEachLineOnItsOwn()
{
    // A named code page reads its own lines without counting them; UTF-8
    // lines beside them stay UTF-8.
    const QByteArray bytes = QByteArray("M\xfcller\r\n") + QString::fromUtf8("Zoë\r\n").toUtf8();
    const DecodedText decoded = decodeText(bytes, {QByteArrayLiteral("ISO-8859-1")});
    QCOMPARE(decoded.text, QString::fromUtf8("Müller\r\nZoë\r\n"));
    QCOMPARE(decoded.windows1252Lines, 0);
}

void TestDocumentCoding::writesOntoADevice()
{
    const QStringList lines{makeEntryLine(u"Adams", u"", u"555"),
                            makeEntryLine(u"Baker", u"Tom", u"1")};
    QBuffer buffer;
    QVERIFY(buffer.open(QIODevice::WriteOnly));
    const Result<void> written = writeDocument(buffer, lines);
    QVERIFY2(written.ok(), qPrintable(written.error()));
    QCOMPARE(buffer.data(), QByteArray("Adams\r\n\r\n555\r\nBaker\r\nTom\r\n1\r\n"));

    // What cannot be encoded never reaches the device.
    QBuffer untouched;
    QVERIFY(untouched.open(QIODevice::WriteOnly));
    const Result<void> refused =
        writeDocument(untouched, QStringList{QStringLiteral("Line\nbreak")});
    QVERIFY(!refused.ok());
    QVERIFY2(refused.error().contains(QStringLiteral("line break")), qPrintable(refused.error()));
    QCOMPARE(untouched.size(), 0);
}

void TestDocumentCoding::goesOnAfterShortWrites()
{
    QStringList lines;
    for (int i = 0; i < 100; ++i)
        lines.append(makeEntryLine(QStringLiteral("Family %1").arg(i), u"Short", u"555"));
    StingyDevice device(7, 1 << 20);
    const Result<void> written = writeDocument(device, lines);
    QVERIFY2(written.ok(), qPrintable(written.error()));
    QCOMPARE(device.data(), encodeDocument(lines).value());
    QVERIFY2(device.calls > 100, "the device was never written to in short steps");
}

void TestDocumentCoding::reportsTheDevicesFailure()
{
    StingyDevice device(1000, 10);
    const Result<void> written =
        writeDocument(device, QStringList{makeEntryLine(u"Adams", u"Sam", u"555-0100")});
    QVERIFY(!written.ok());
    QCOMPARE(written.error(), QStringLiteral("The device is full."));
    QCOMPARE(device.data().size(), 10);
}

void TestDocumentCoding::reportsARealFullDisk()
{
#ifdef Q_OS_WIN
    QSKIP("Windows has no /dev/full");
#else
    QFile full(QStringLiteral("/dev/full"));
    if (!full.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        QSKIP("/dev/full cannot be opened here");
    const Result<void> written =
        writeDocument(full, QStringList{makeEntryLine(u"Adams", u"Sam", u"555-0100")});
    QVERIFY(!written.ok());
    QVERIFY2(written.error().contains(QStringLiteral("No space left on device")),
             qPrintable(written.error()));
#endif
}

QTEST_GUILESS_MAIN(TestDocumentCoding)
#include "test_document_coding.moc"

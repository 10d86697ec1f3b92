#include "core/phone_key.h"

#include <QTest>

using namespace callvista;

class TestPhoneKey : public QObject
{
    Q_OBJECT

private slots:
    void keepsOrRefusesEachCode_data();
    void keepsOrRefusesEachCode();
};

void TestPhoneKey::keepsOrRefusesEachCode_data()
{
    QTest::addColumn<int>("code");
    QTest::addColumn<int>("expected");

    const QString accepted = QStringLiteral("\b#$+-.0123456789");
    for (int code = 0; code <= 255; ++code)
        QTest::addRow("%d", code) << code << (accepted.contains(QChar(code)) ? code : 0);
    QTest::newRow("negative") << -1 << 0;
    QTest::newRow("digit beyond the code page") << 0x0660 << 0;
    QTest::newRow("largest") << 32767 << 0;
    QTest::newRow("smallest") << -32768 << 0;
}

void TestPhoneKey::keepsOrRefusesEachCode()
{
    QFETCH(int, code);
    QFETCH(int, expected);
    QCOMPARE(filterPhoneKey(code), expected);
}

QTEST_APPLESS_MAIN(TestPhoneKey)
#include "test_phone_key.moc"

// The two conversions of box text, and the slider text.

#include "registers/registermap.h"

#include <QtTest>

using namespace RegisterMap;

class TestRegisterMap : public QObject
{
    Q_OBJECT

private slots:
    void textToByte_data();
    void textToByte();
    void textToSliderPosition_data();
    void textToSliderPosition();
    void sliderText_data();
    void sliderText();
    void lengthLimits();
};

void TestRegisterMap::textToByte_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("byte"); // -1: not a byte
    QTest::newRow("one digit") << "5" << 5;
    QTest::newRow("two digits") << "3F" << 0x3F;
    QTest::newRow("as read") << "0A" << 0x0A;
    QTest::newRow("FF") << "FF" << 255;
    QTest::newRow("leading zeros") << "005" << 5;
    QTest::newRow("lower case") << "7c" << 0x7C;
    QTest::newRow("three digits") << "100" << -1;
    QTest::newRow("long") << "12345" << -1;
    QTest::newRow("empty") << "" << -1;
    QTest::newRow("blanks") << "  " << -1;
    QTest::newRow("blank inside") << "1 " << -1;
    QTest::newRow("not hex") << "G1" << -1;
}

void TestRegisterMap::textToByte()
{
    QFETCH(QString, text);
    QFETCH(int, byte);
    const std::optional<quint8> value = RegisterMap::textToByte(text);
    QCOMPARE(value ? int(*value) : -1, byte);
}

void TestRegisterMap::textToSliderPosition_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("position");
    QTest::newRow("empty") << "" << 0;
    QTest::newRow("two blanks") << "  " << 0;
    QTest::newRow("as read") << "0A" << 10;
    QTest::newRow("blank first") << " 5" << 5;
    QTest::newRow("FF") << "FF" << 255;
    QTest::newRow("three digits") << "123" << 0x123;
    QTest::newRow("digits then junk") << "1G" << 1;
    QTest::newRow("no digits") << "G1" << 0;
    QTest::newRow("huge saturates") << "FFFFFFFFFFFF" << INT_MAX;
}

void TestRegisterMap::textToSliderPosition()
{
    QFETCH(QString, text);
    QFETCH(int, position);
    QCOMPARE(RegisterMap::textToSliderPosition(text), position);
}

void TestRegisterMap::sliderText_data()
{
    QTest::addColumn<int>("position");
    QTest::addColumn<QString>("text");
    QTest::newRow("0") << 0 << "0";
    QTest::newRow("5") << 5 << "5";
    QTest::newRow("10") << 10 << "A";
    QTest::newRow("63") << 63 << "3F";
    QTest::newRow("171") << 171 << "AB";
    QTest::newRow("255") << 255 << "FF";
}

void TestRegisterMap::sliderText()
{
    QFETCH(int, position);
    QFETCH(QString, text);
    QCOMPARE(RegisterMap::sliderText(position), text);
}

void TestRegisterMap::lengthLimits()
{
    for (int a = 0; a < Count; ++a) {
        QCOMPARE(at(a).address, a);
        QCOMPARE(at(a).maxLength, a >= 0x20 && a <= 0x2F ? 0 : 2);
        if (a >= 0x20)
            QVERIFY(QByteArray(at(a).caption).endsWith(' '));
    }
}

QTEST_GUILESS_MAIN(TestRegisterMap)
#include "tst_registermap.moc"

// The two conversions of box text, and the slider text.

#include "registers/registermap.h"

#include <QtTest>

class TestRegisterMap : public QObject
{
    Q_OBJECT

private slots:
    void conversions_data();
    void conversions();
    void sliderText();
};

void TestRegisterMap::conversions_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("byte"); // -1: not a byte
    QTest::addColumn<int>("position");
    QTest::newRow("one digit") << "5" << 5 << 5;
    QTest::newRow("as read") << "0A" << 10 << 10;
    QTest::newRow("FF") << "FF" << 255 << 255;
    QTest::newRow("leading zeros") << "005" << 5 << 5;
    QTest::newRow("three digits") << "123" << -1 << 0x123;
    QTest::newRow("empty") << "" << -1 << 0;
    QTest::newRow("two blanks") << "  " << -1 << 0;
    QTest::newRow("blank first") << " 5" << -1 << 5;
    QTest::newRow("digits then junk") << "1G" << -1 << 1;
    QTest::newRow("huge") << "FFFFFFFFFFFF" << -1 << INT_MAX;
}

void TestRegisterMap::conversions()
{
    QFETCH(QString, text);
    QFETCH(int, byte);
    QFETCH(int, position);
    const std::optional<quint8> value = RegisterMap::textToByte(text);
    QCOMPARE(value ? int(*value) : -1, byte);
    QCOMPARE(RegisterMap::textToSliderPosition(text), position);
}

void TestRegisterMap::sliderText()
{
    QStringList texts;
    for (const int position : {0, 5, 10, 63, 171, 255})
        texts.append(RegisterMap::sliderText(position));
    QCOMPARE(texts, (QStringList{"0", "5", "A", "3F", "AB", "FF"}));
}

QTEST_GUILESS_MAIN(TestRegisterMap)
#include "tst_registermap.moc"

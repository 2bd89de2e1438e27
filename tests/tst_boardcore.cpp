// The simulated board's protocol core, byte for byte.

#include "boardcore.h"

#include <QtTest>

using sim::BoardCore;
using sim::BoardOptions;

namespace {

// The output for each byte of text, in order.
QList<QByteArray> perByte(BoardCore &board, const QByteArray &text)
{
    QList<QByteArray> outputs;
    for (const char byte : text)
        outputs.append(board.receive(byte));
    return outputs;
}

// What a healthy board sends for each byte of text.
QList<QByteArray> healthyOutputs(const QByteArray &text)
{
    BoardCore board;
    return perByte(board, text);
}

bool chipAtPowerOn(const BoardCore &board)
{
    for (int address = 0; address < 64; ++address) {
        if (board.chipRegister(address) != BoardCore::powerOnValue(address))
            return false;
    }
    return true;
}

QByteArray hexByte(int value)
{
    return QByteArray::number(value, 16).rightJustified(2, '0').toUpper();
}

// Registers 0x00..0x0F at power-on, as the board prints them.
const char powerOnBurst[] = "7100007C0A0080808040404005140698";

// A session that exercises writes, single and burst reads.
const char session[] = "QQQW0x0012 0x1 0x3F R0x0012 0x1 R0x0000 0x10 Y0x0001 0x1 0x5A X0x0001 0x1 ";

} // namespace

class TestBoardCore : public QObject
{
    Q_OBJECT

private slots:
    void powerOnValues();
    void writeSingle();
    void readSingle_data();
    void readSingle();
    void burstRead();
    void burstReadPastLastRegister();
    void burstWrite();
    void burstWriteCountZero();
    void burstWriteSkipsStatusRegisters();
    void fpgaRoundTrip();
    void quitAnswersWithPrompt();
    void quitAbandonsPartialCommand_data();
    void quitAbandonsPartialCommand();
    void lowerCaseHex();
    void lineEndsIgnoredBetweenCommands();
    void malformedLineRecovers_data();
    void malformedLineRecovers();
    void writeOutsideChipIgnored();
    void statusRegistersReadOnly();
    void silentBoard();
    void noPromptBoard();
    void stopEchoAfter_data();
    void stopEchoAfter();
    void hangUpAfter_data();
    void hangUpAfter();
    void hangUpAfterZero();
    void garbageBoard();
};

void TestBoardCore::powerOnValues()
{
    const BoardCore board;
    QByteArray printed;
    for (int address = 0; address < 0x10; ++address)
        printed += hexByte(board.chipRegister(address));
    QCOMPARE(printed, QByteArray(powerOnBurst));
    QCOMPARE(board.chipRegister(0x10), quint8(0x10));
    QCOMPARE(board.chipRegister(0x11), quint8(0x08));
    QCOMPARE(board.chipRegister(0x12), quint8(0x08));
    QCOMPARE(board.chipRegister(0x18), quint8(0x00));
    QVERIFY(chipAtPowerOn(board));
    QCOMPARE(BoardCore::powerOnValue(0x40), quint8(0));
    QCOMPARE(board.chipRegister(0xA5), quint8(0));
    QCOMPARE(board.chipRegister(-1), quint8(0));
}

void TestBoardCore::writeSingle()
{
    BoardCore board;
    QCOMPARE(board.receive('W'), QByteArray()); // the letter is not echoed
    const QByteArray fields = "0x0012 0x1 0x3F ";
    const QList<QByteArray> outputs = perByte(board, fields);
    for (int i = 0; i < fields.size() - 1; ++i)
        QCOMPARE(outputs.at(i), fields.mid(i, 1));
    QCOMPARE(outputs.last(), QByteArray(" \r\n> "));
    QCOMPARE(board.chipRegister(0x12), quint8(0x3F));
    board.setChipRegister(0x12, BoardCore::powerOnValue(0x12));
    QVERIFY(chipAtPowerOn(board));
}

void TestBoardCore::readSingle_data()
{
    QTest::addColumn<QByteArray>("address");
    QTest::addColumn<int>("preset");
    QTest::addColumn<QByteArray>("value");

    QTest::newRow("id") << QByteArray("0x0000") << -1 << QByteArray("71");
    QTest::newRow("slicer") << QByteArray("0x0003") << -1 << QByteArray("7C");
    QTest::newRow("leading zero") << QByteArray("0x0004") << -1 << QByteArray("0A");
    QTest::newRow("zero") << QByteArray("0x0005") << -1 << QByteArray("00");
    QTest::newRow("last register") << QByteArray("0x003F") << 0xE1 << QByteArray("E1");
    QTest::newRow("outside chip") << QByteArray("0x00A5") << -1 << QByteArray("00");
    QTest::newRow("just outside") << QByteArray("0x0040") << -1 << QByteArray("00");
}

void TestBoardCore::readSingle()
{
    QFETCH(QByteArray, address);
    QFETCH(int, preset);
    QFETCH(QByteArray, value);

    BoardCore board;
    if (preset >= 0)
        board.setChipRegister(address.toInt(nullptr, 16), quint8(preset));
    QCOMPARE(board.receive('R'), QByteArray());
    const QByteArray fields = address + " 0x1 ";
    const QList<QByteArray> outputs = perByte(board, fields);
    for (int i = 0; i < fields.size() - 1; ++i)
        QCOMPARE(outputs.at(i), fields.mid(i, 1));
    QCOMPARE(outputs.last(), " \r\n" + value + "> ");
}

void TestBoardCore::burstRead()
{
    BoardCore board;
    QCOMPARE(board.receive('R'), QByteArray());
    const QList<QByteArray> outputs = perByte(board, "0x0000 0x10 ");
    QCOMPARE(outputs.join(), QByteArray("0x0000 0x10 ") + powerOnBurst + "> ");
    // Nothing between the echoed space and the first digit.
    QCOMPARE(outputs.last(), QByteArray(" ") + powerOnBurst + "> ");
}

void TestBoardCore::burstReadPastLastRegister()
{
    BoardCore board;
    board.setChipRegister(0x3E, 0x5A);
    board.setChipRegister(0x3F, 0x0B);
    QCOMPARE(board.receive("R0x003E 0x04 "), QByteArray("0x003E 0x04 5A0B0000> "));
    QCOMPARE(board.receive("R0x0002 0x02 "), QByteArray("0x0002 0x02 007C> "));
}

void TestBoardCore::burstWrite()
{
    BoardCore board;
    QByteArray fields = "0x0012 0x10 ";
    QList<quint8> values;
    for (int i = 0; i < 16; ++i) {
        values.append(quint8(0xF0 - i * 0x0F));
        fields += "0x" + hexByte(values.last()) + ' ';
    }
    QCOMPARE(board.receive('W'), QByteArray());
    const QList<QByteArray> outputs = perByte(board, fields);
    for (int i = 0; i < fields.size() - 1; ++i)
        QCOMPARE(outputs.at(i), fields.mid(i, 1));
    QCOMPARE(outputs.last(), QByteArray(" \r\n> "));
    for (int i = 0; i < 16; ++i)
        QCOMPARE(board.chipRegister(0x12 + i), values.at(i));
    QCOMPARE(board.chipRegister(0x11), BoardCore::powerOnValue(0x11));
    QCOMPARE(board.chipRegister(0x22), BoardCore::powerOnValue(0x22));
}

void TestBoardCore::burstWriteCountZero()
{
    BoardCore board;
    QCOMPARE(board.receive("W0x0005 0x00"), QByteArray("0x0005 0x00"));
    QCOMPARE(board.receive(' '), QByteArray(" \r\n> "));
    QVERIFY(chipAtPowerOn(board));
    // The next command starts right away; no data field is pending.
    QCOMPARE(board.receive("R0x000C 0x1 "), QByteArray("0x000C 0x1 \r\n05> "));
    QCOMPARE(board.receive("R0x000C 0x00 "), QByteArray("0x000C 0x00 > "));
}

void TestBoardCore::burstWriteSkipsStatusRegisters()
{
    BoardCore board;
    QCOMPARE(board.receive("W0x0000 0x04 0x11 0x22 0x33 0x44 "),
             QByteArray("0x0000 0x04 0x11 0x22 0x33 0x44 \r\n> "));
    QCOMPARE(board.chipRegister(0x00), quint8(0x11));
    QCOMPARE(board.chipRegister(0x01), quint8(0x00));
    QCOMPARE(board.chipRegister(0x02), quint8(0x00));
    QCOMPARE(board.chipRegister(0x03), quint8(0x44));
    QCOMPARE(board.receive("W0x003E 0x03 0x01 0x02 0x03 "),
             QByteArray("0x003E 0x03 0x01 0x02 0x03 \r\n> "));
    QCOMPARE(board.chipRegister(0x3E), quint8(0x01));
    QCOMPARE(board.chipRegister(0x3F), quint8(0x02));
}

void TestBoardCore::fpgaRoundTrip()
{
    BoardCore board;
    QCOMPARE(board.fpgaRegister(0x1234), quint8(0));
    QCOMPARE(board.receive('Y'), QByteArray());
    QCOMPARE(board.receive("0x1234 0x1 0xAB "), QByteArray("0x1234 0x1 0xAB \r\n> "));
    QCOMPARE(board.fpgaRegister(0x1234), quint8(0xAB));
    QVERIFY(chipAtPowerOn(board));
    QCOMPARE(board.receive('X'), QByteArray());
    QCOMPARE(board.receive("0x1234 0x1 "), QByteArray("0x1234 0x1 \r\nAB> "));
    QCOMPARE(board.receive("X0x0001 0x1 "), QByteArray("0x0001 0x1 \r\n00> "));
    QCOMPARE(board.receive("X0x1233 0x03 "), QByteArray("0x1233 0x03 00AB00> "));
    QCOMPARE(board.receive("Y0xFFFF 0x1 0x07 X0xFFFF 0x1 "),
             QByteArray("0xFFFF 0x1 0x07 \r\n> 0xFFFF 0x1 \r\n07> "));
    QCOMPARE(board.fpgaRegister(0xFFFF), quint8(0x07));
}

void TestBoardCore::quitAnswersWithPrompt()
{
    BoardCore board;
    QCOMPARE(board.receive('Q'), QByteArray("\r\n> "));
    QCOMPARE(board.receive("QQ"), QByteArray("\r\n> \r\n> "));
}

void TestBoardCore::quitAbandonsPartialCommand_data()
{
    QTest::addColumn<QByteArray>("partial");
    QTest::newRow("letter only") << QByteArray("W");
    QTest::newRow("in address") << QByteArray("W0x00");
    QTest::newRow("before count") << QByteArray("W0x0012 ");
    QTest::newRow("in data") << QByteArray("W0x0012 0x1 0x3");
    QTest::newRow("data complete but no space") << QByteArray("W0x0012 0x1 0x3F");
    QTest::newRow("in burst") << QByteArray("W0x0012 0x10 0x01 0x02 ");
    QTest::newRow("in read") << QByteArray("R0x0000 0x1");
}

void TestBoardCore::quitAbandonsPartialCommand()
{
    QFETCH(QByteArray, partial);
    BoardCore board;
    const QByteArray echo = board.receive(partial);
    QCOMPARE(echo, partial.mid(1));
    QCOMPARE(board.receive('Q'), QByteArray("\r\n> "));
    QVERIFY(chipAtPowerOn(board));
    QCOMPARE(board.receive("R0x0012 0x1 "), QByteArray("0x0012 0x1 \r\n08> "));
}

void TestBoardCore::lowerCaseHex()
{
    BoardCore board;
    QCOMPARE(board.receive("W0x003a 0x1 0xbc "), QByteArray("0x003a 0x1 0xbc \r\n> "));
    QCOMPARE(board.chipRegister(0x3A), quint8(0xBC));
    QCOMPARE(board.receive("R0X003A 0X1 "), QByteArray("0X003A 0X1 \r\nBC> "));
    QCOMPARE(board.receive("R0x0000 0x0a "), QByteArray("0x0000 0x0a ") + QByteArray(powerOnBurst).left(20) + "> ");
    QCOMPARE(board.receive("Y0x00fe 0x1 0x0c X0x00FE 0x1 "),
             QByteArray("0x00fe 0x1 0x0c \r\n> 0x00FE 0x1 \r\n0C> "));
}

void TestBoardCore::lineEndsIgnoredBetweenCommands()
{
    BoardCore board;
    QCOMPARE(board.receive("\r\n \r"), QByteArray());
    QCOMPARE(board.receive("R0x0004 0x1 "), QByteArray("0x0004 0x1 \r\n0A> "));
}

void TestBoardCore::malformedLineRecovers_data()
{
    QTest::addColumn<QByteArray>("line");
    QTest::addColumn<QByteArray>("echo");

    QTest::newRow("unknown letter") << QByteArray("Z") << QByteArray();
    QTest::newRow("lower-case letter") << QByteArray("w") << QByteArray();
    QTest::newRow("no 0x") << QByteArray("R1") << QByteArray();
    QTest::newRow("bad x") << QByteArray("W0y") << QByteArray("0");
    QTest::newRow("bad digit") << QByteArray("R0x00G") << QByteArray("0x00");
    QTest::newRow("no digits") << QByteArray("R0x ") << QByteArray("0x");
    QTest::newRow("long address") << QByteArray("R0x00123") << QByteArray("0x0012");
    QTest::newRow("long count") << QByteArray("W0x0012 0x100") << QByteArray("0x0012 0x10");
    QTest::newRow("long data") << QByteArray("W0x0012 0x1 0x3F7") << QByteArray("0x0012 0x1 0x3F");
    QTest::newRow("double space") << QByteArray("R0x0012  ") << QByteArray("0x0012 ");
    QTest::newRow("line end") << QByteArray("W0x0012 0x1 0x3F\r") << QByteArray("0x0012 0x1 0x3F");
}

void TestBoardCore::malformedLineRecovers()
{
    QFETCH(QByteArray, line);
    QFETCH(QByteArray, echo);
    BoardCore board;
    // The offending byte is answered with the error, not echoed.
    QCOMPARE(board.receive(line), echo + "\r\n?\r\n> ");
    QVERIFY(chipAtPowerOn(board));
    QCOMPARE(board.receive("R0x0003 0x1 "), QByteArray("0x0003 0x1 \r\n7C> "));
}

void TestBoardCore::writeOutsideChipIgnored()
{
    BoardCore board;
    QCOMPARE(board.receive("W0x00A5 0x1 0x55 "), QByteArray("0x00A5 0x1 0x55 \r\n> "));
    QCOMPARE(board.receive("W0x0040 0x1 0x55 "), QByteArray("0x0040 0x1 0x55 \r\n> "));
    QVERIFY(chipAtPowerOn(board));
    QCOMPARE(board.receive("R0x00A5 0x1 "), QByteArray("0x00A5 0x1 \r\n00> "));
}

void TestBoardCore::statusRegistersReadOnly()
{
    BoardCore board;
    QCOMPARE(board.receive("W0x0001 0x1 0xFF "), QByteArray("0x0001 0x1 0xFF \r\n> "));
    QCOMPARE(board.receive("W0x0002 0x1 0xFF "), QByteArray("0x0002 0x1 0xFF \r\n> "));
    QVERIFY(chipAtPowerOn(board));
    // The chip itself may change them: the simulation sets sync status directly.
    board.setChipRegister(0x01, 0x03);
    QCOMPARE(board.receive("R0x0001 0x1 "), QByteArray("0x0001 0x1 \r\n03> "));
}

void TestBoardCore::silentBoard()
{
    BoardCore board({BoardOptions::Fault::Silent, 0});
    for (const QByteArray &output : perByte(board, session))
        QVERIFY(output.isEmpty());
    QVERIFY(!board.hungUp());
}

void TestBoardCore::noPromptBoard()
{
    BoardCore board({BoardOptions::Fault::NoPrompt, 0});
    const QByteArray output = board.receive(session);
    QVERIFY(!output.contains('>'));
    // Only the field echoes go out.
    QCOMPARE(output, QByteArray("0x0012 0x1 0x3F 0x0012 0x1 0x0000 0x10 0x0001 0x1 0x5A 0x0001 0x1 "));
    QCOMPARE(board.chipRegister(0x12), quint8(0x3F));
    QCOMPARE(board.fpgaRegister(0x0001), quint8(0x5A));
}

void TestBoardCore::stopEchoAfter_data()
{
    QTest::addColumn<int>("count");
    QTest::newRow("0") << 0;
    QTest::newRow("1") << 1;
    QTest::newRow("5") << 5;
    QTest::newRow("mid write") << 10;
    QTest::newRow("end of write") << 19;
    QTest::newRow("mid burst read") << 40;
}

void TestBoardCore::stopEchoAfter()
{
    QFETCH(int, count);
    const QList<QByteArray> healthy = healthyOutputs(session);
    BoardCore board({BoardOptions::Fault::StopEchoAfter, count});
    const QList<QByteArray> outputs = perByte(board, session);
    bool silencedSomething = false;
    for (int i = 0; i < outputs.size(); ++i) {
        if (i < count) {
            QCOMPARE(outputs.at(i), healthy.at(i));
        } else {
            QCOMPARE(outputs.at(i), QByteArray());
            silencedSomething = silencedSomething || !healthy.at(i).isEmpty();
        }
    }
    QVERIFY(silencedSomething);
    QVERIFY(!board.hungUp());
}

void TestBoardCore::hangUpAfter_data()
{
    QTest::addColumn<int>("count");
    QTest::newRow("1") << 1;
    QTest::newRow("mid write") << 10;
    QTest::newRow("before last space") << 19;
    QTest::newRow("after write") << 20;
}

void TestBoardCore::hangUpAfter()
{
    QFETCH(int, count);
    const QByteArray bytes = session;
    const QList<QByteArray> healthy = healthyOutputs(bytes);
    BoardCore board({BoardOptions::Fault::HangUpAfter, count});
    for (int i = 0; i < bytes.size(); ++i) {
        QCOMPARE(board.hungUp(), i >= count);
        const QByteArray output = board.receive(bytes.at(i));
        QCOMPARE(output, i < count ? healthy.at(i) : QByteArray());
    }
    QVERIFY(board.hungUp());
    QCOMPARE(board.chipRegister(0x12), quint8(count >= 20 ? 0x3F : 0x08));
}

void TestBoardCore::hangUpAfterZero()
{
    BoardCore board({BoardOptions::Fault::HangUpAfter, 0});
    QVERIFY(board.hungUp());
    QCOMPARE(board.receive("QR0x0000 0x1 "), QByteArray());
}

void TestBoardCore::garbageBoard()
{
    const QByteArray bytes = QByteArray(session).repeated(20);
    BoardCore board({BoardOptions::Fault::Garbage, 0});
    const QList<QByteArray> outputs = perByte(board, bytes);
    for (int i = 0; i < bytes.size(); ++i) {
        QCOMPARE(outputs.at(i).size(), 1);
        QVERIFY(outputs.at(i).at(0) != bytes.at(i));
        QVERIFY(outputs.at(i).at(0) != '>');
    }
    // The junk is the same on every run, so failures reproduce.
    BoardCore again({BoardOptions::Fault::Garbage, 0});
    QCOMPARE(perByte(again, bytes), outputs);
    QVERIFY(outputs.join() != healthyOutputs(bytes).join());
}

QTEST_GUILESS_MAIN(TestBoardCore)
#include "tst_boardcore.moc"

#include "boardcore.h"

#include <QtTest>

using sim::BoardCore;
using sim::BoardOptions;
using Fault = BoardOptions::Fault;

class TestSim : public QObject
{
    Q_OBJECT

private slots:
    // The answer to each input byte, joined by '|'; 3E and 3F hold 0A and F1.
    void theSimulatedBoardAnswersEachCommand_data()
    {
        QTest::addColumn<BoardOptions>("options");
        QTest::addColumn<QByteArray>("input");
        QTest::addColumn<QByteArray>("trace");
        const auto row = [](const char *name, const char *input, const char *trace, BoardOptions options = {}) {
            QTest::newRow(name) << options << QByteArray(input) << QByteArray(trace);
        };
        // clang-format off
        row("past end", "R0x003E 0x03 ", "|0|x|0|0|3|E| |0|x|0|3| 0AF100> ");
        row("burst", "W0x003E 0x02 0xB1 0x0C R0x003E 0x02 ",
            "|0|x|0|0|3|E| |0|x|0|2| |0|x|B|1| |0|x|0|C| \r\n> ||0|x|0|0|3|E| |0|x|0|2| B10C> ");
        row("fpga", "Y0x1234 0x1 0xAB X0x1233 0x03 ", "|0|x|1|2|3|4| |0|x|1| |0|x|A|B| \r\n> ||0|x|1|2|3|3| |0|x|0|3| 00AB00> ");
        row("Q", "QW0x003E 0x1 0x5Q R0x003E 0x1 ", "\r\n> ||0|x|0|0|3|E| |0|x|1| |0|x|5|\r\n> |||0|x|0|0|3|E| |0|x|1| \r\n0A> ");
        row("bad digit", "R0x00G R0x003E 0x1 ", "|0|x|0|0|\r\n?\r\n> |||0|x|0|0|3|E| |0|x|1| \r\n0A> ");
        row("stop echo", "R0x003E 0x1 ", "|0|x|0|0", {Fault::StopEchoAfter, 5});
        row("chatter", "QR0x003E 0x1 Q", "||0|x|0|0|3|E| |0|x|1| ", {Fault::Chatter, 0});
        row("hang up", "R0x003E 0x1 Q", "|0|x|0|0|3|E| |0|x|1| \r\n0A> ", {Fault::HangUpAfter, 12});
        // clang-format on
    }

    void theSimulatedBoardAnswersEachCommand()
    {
        QFETCH(BoardOptions, options);
        QFETCH(QByteArray, input);
        BoardCore board(options);
        board.setChipRegister(0x3E, 0x0A);
        board.setChipRegister(0x3F, 0xF1);
        QByteArrayList answers;
        for (const char byte : input)
            answers.append(board.receive(byte));
        QByteArray trace = answers.join('|');
        while (trace.endsWith('|'))
            trace.chop(1);
        QTEST(trace, "trace");
        QCOMPARE(board.hungUp(), options.fault == Fault::HangUpAfter);
        QCOMPARE(board.chatter(3), options.fault == Fault::Chatter ? "$GP" : "");
    }
};

QTEST_GUILESS_MAIN(TestSim)
#include "tst_sim.moc"

// The kv71xx-board executable on a real pty: a paced exchange and its log, SIGTERM, hang-up.

#include <QtTest>

#include <poll.h>

constexpr int timeoutMs = 3000; // only matters when something is broken

// A board with its link in a directory of its own, logging to stdout, and the port it serves.
struct Board
{
    explicit Board(QStringList args)
    {
        process.start(KV71XX_BOARD_EXE, args << "--link" << port.fileName() << "--log=/dev/stdout");
        if (process.waitForReadyRead(timeoutMs) && process.readLine().startsWith("ready "))
            port.open(QIODevice::ReadWrite | QIODevice::Unbuffered); // the board keeps it raw
    }
    // What arrives through the prompt, or until the line goes quiet or away.
    QByteArray readReply()
    {
        QByteArray data;
        pollfd in{port.handle(), POLLIN, 0};
        for (char c = 0; !data.endsWith("> ") && ::poll(&in, 1, timeoutMs) > 0 && port.getChar(&c);)
            data += c;
        return data;
    }

    QTemporaryDir dir;
    QProcess process;
    QFile port{dir.filePath(QStringLiteral("COM1"))};
};

class TestBoardExe : public QObject
{
    Q_OBJECT

private slots:
    void pacedExchangeThenSigterm()
    {
        Board board({QStringLiteral("--pace")});
        const QByteArray reply = "0x0003 0x1 \r\n7C> ";
        QElapsedTimer timer; // for a lower bound only: nothing limits how slow the line may be
        timer.start();
        QCOMPARE(board.port.write("R0x0003 0x1 "), 12); // one write, so one "rx" line
        QCOMPARE(board.readReply(), reply);
        QVERIFY(timer.nsecsElapsed() >= reply.size() * 10'000'000'000LL / 9600); // 10 bits a byte
        board.process.terminate(); // SIGTERM
        QVERIFY(board.process.waitForFinished(timeoutMs));
        QVERIFY(!QFileInfo(board.port).isSymLink());
        QCOMPARE(board.process.readAll(), "rx R0x0003 0x1 \ntx 0x0003 0x1 \\r\\n7C> \n");
    }

    void hangUpAfter()
    {
        Board board({QStringLiteral("--hang-up-after"), QStringLiteral("3")});
        QCOMPARE(board.port.write("R0x0003 0x1 "), 12);
        QVERIFY(board.process.waitForFinished(timeoutMs));
        QCOMPARE(board.port.write("Q"), -1); // the line is gone
        QCOMPARE(board.process.readAll(), "rx R0x0003 0x1 \ntx 0x\n");
    }
};

QTEST_GUILESS_MAIN(TestBoardExe)
#include "tst_boardexe.moc"

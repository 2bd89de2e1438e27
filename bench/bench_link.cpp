// Prints what waiting for the board costs: the CPU time spent per second of
// waiting for a board that never answers, and the time of one register write
// against the paced simulated board next to its floor at 9600 baud.

#include "boardprocess.h"
#include "link/boardcommands.h"
#include "link/boardlink.h"
#include "platform/messageboxes.h"
#include "platform/qtserialport.h"
#include "platform/realclock.h"

#include <QCoreApplication>
#include <QDir>
#include <QTemporaryDir>

#include <cstdio>
#include <ctime>

namespace {

class SilentMessages : public MessageBoxes
{
public:
    using MessageBoxes::show;
    void show(const QString &, const QString &, Icon) override {}
};

// A board in a folder of its own, linked there as COM1.
struct Board
{
    explicit Board(const sim::BoardOptions &options, bool paced)
        : process({m_dir.filePath(QStringLiteral("COM1")), options, paced, {}})
    {
        QDir::setCurrent(m_dir.path());
    }

    QTemporaryDir m_dir;
    sim::BoardProcess process;
};

double cpuSeconds()
{
    return double(std::clock()) / CLOCKS_PER_SEC;
}

// The program's link on the real port to a board started with the options.
struct Session
{
    Session(const sim::BoardOptions &options, bool paced)
        : board(options, paced)
        , link(port, clock, messages, [] { return 1; })
        , commands(link)
    {
        connected = link.Connect_Board();
        if (!connected)
            std::printf("could not open the simulated board: %s\n", qPrintable(port.errorString()));
    }

    Board board;
    QtSerialPort port;
    RealClock clock;
    SilentMessages messages;
    BoardLink link;
    BoardCommands commands;
    bool connected = false;
};

void idleWaitCost()
{
    Session s({sim::BoardOptions::Fault::Silent, 0}, false);
    if (!s.connected)
        return;
    const double wall = s.clock.seconds();
    const double cpu = cpuSeconds();
    s.link.Wait_Serial_Input(3); // a silent board: the full three seconds
    const double waited = s.clock.seconds() - wall;
    std::printf("idle wait: %.2f s waited, %.2f ms CPU per second of waiting\n", waited,
                (cpuSeconds() - cpu) * 1000 / waited);
}

void writeTime()
{
    Session s({}, true);
    if (!s.connected)
        return;
    const int runs = 10;
    const double start = s.clock.seconds();
    for (int i = 0; i < runs; ++i)
        s.commands.Write_KV7106(0x06, quint8(i));
    const double each = (s.clock.seconds() - start) / runs;
    // The letter, 16 field bytes each answered by its echo before the next
    // goes out, and the reply "\r\n> ": 37 bytes of 10 bits at 9600 baud.
    const double floor = (1 + 2 * 16 + 4) * 10 / 9600.0;
    std::printf("register write: %.1f ms each (floor at 9600 baud %.1f ms, %.2fx)\n", each * 1000,
                floor * 1000, each / floor);
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    idleWaitCost();
    writeTime();
    return 0;
}

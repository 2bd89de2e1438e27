// Prints the wall time of kv71xx-cli loading a 64-register file into the
// board paced at 9600 baud, by bursts and one register at a time, and writing
// 8 registers in one call, next to the floor each has: the characters its
// exchanges move at 960 a second plus the reset's pause.

#include "boardprocess.h"
#include "files/registerfile.h"
#include "link/hex.h"
#include "wiretime.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <cstdio>

namespace {

using RegisterMap::BurstLength;
using RegisterMap::Bursts;

bool writeRegisterFile(const QString &path)
{
    RegisterFile::Texts texts;
    for (int k = 0; k < RegisterMap::Count; ++k)
        texts.at(size_t(k)) = Hex_Digits(0xA5 ^ k, 2); // every register changes
    QFile file(path);
    const QByteArray bytes = RegisterFile::format(texts);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

void timeRun(const char *name, const QStringList &arguments, double floor)
{
    QProcess cli;
    QElapsedTimer wall;
    wall.start();
    cli.start(QStringLiteral(KV71XX_CLI_EXE), arguments);
    if (!cli.waitForFinished(60000) || cli.exitCode() != 0) {
        std::printf("%s failed: %s\n", name, cli.readAllStandardError().constData());
        return;
    }
    const double seconds = wall.nsecsElapsed() / 1e9;
    std::printf("%-26s %.3f s (floor %.3f s, %.2fx)\n", name, seconds, floor, seconds / floor);
}

// write with 8 registers: first..first+7 when adjacent, else every fourth.
QStringList eightRegisters(bool adjacent)
{
    QStringList arguments{QStringLiteral("write")};
    for (int i = 0; i < 8; ++i)
        arguments << Hex_Digits(0x10 + (adjacent ? i : 4 * i), 2) << Hex_Digits(0x5A ^ i, 2);
    return arguments;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QTemporaryDir dir;
    QDir::setCurrent(dir.path());
    const sim::BoardProcess board({QStringLiteral("COM1"), {}, true, {}});
    if (!board.ready() || !writeRegisterFile(QStringLiteral("bench.txt"))) {
        std::printf("could not start the simulated board or write the register file\n");
        return 1;
    }
    using namespace WireTime;
    const double burstFloor = resetSeconds() + Bursts * seconds(burstWriteCharacters(BurstLength));
    const double singleFloor = resetSeconds() + RegisterMap::Count * seconds(writeCharacters());
    const QStringList load{QStringLiteral("load"), QStringLiteral("bench.txt")};
    timeRun("load --burst", load + QStringList{QStringLiteral("--burst")}, burstFloor);
    timeRun("load", load, singleFloor);
    // The window resets the link before every register it loads.
    std::printf("%-26s %.3f s floor\n", "window's load",
                RegisterMap::Count * (resetSeconds() + seconds(writeCharacters())));

    constexpr int Eight = 8;
    const double runFloor = resetSeconds() + seconds(burstWriteCharacters(Eight));
    timeRun("write 8 adjacent", eightRegisters(true), runFloor);
    timeRun("write 8 adjacent --verify", eightRegisters(true) + QStringList{QStringLiteral("--verify")},
            runFloor + seconds(burstReadCharacters(Eight)));
    timeRun("write 8 apart", eightRegisters(false), resetSeconds() + Eight * seconds(writeCharacters()));
    // Eight calls of write, each with its own reset.
    std::printf("%-26s %.3f s floor\n", "8 calls of write", Eight * (resetSeconds() + seconds(writeCharacters())));
    return 0;
}

// Prints the wall time of kv71xx-cli loading a 64-register file into the
// board paced at 9600 baud, by bursts and one register at a time, next to the
// floor each has: the characters its exchanges move at 960 a second plus the
// reset's pause.

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

void timeLoad(const char *name, const QStringList &options, double floor)
{
    QProcess cli;
    QElapsedTimer wall;
    wall.start();
    cli.start(QStringLiteral(KV71XX_CLI_EXE),
              QStringList{QStringLiteral("load"), QStringLiteral("bench.txt")} + options);
    if (!cli.waitForFinished(60000) || cli.exitCode() != 0) {
        std::printf("%s failed: %s\n", name, cli.readAllStandardError().constData());
        return;
    }
    const double seconds = wall.nsecsElapsed() / 1e9;
    std::printf("%-16s %.3f s (floor %.3f s, %.2fx)\n", name, seconds, floor, seconds / floor);
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
    timeLoad("load --burst", {QStringLiteral("--burst")}, burstFloor);
    timeLoad("load", {}, singleFloor);
    // The window resets the link before every register it loads.
    std::printf("%-16s %.3f s floor\n", "window's load",
                RegisterMap::Count * (resetSeconds() + seconds(writeCharacters())));
    return 0;
}

#include "watchhour.h"

#include "fakes.h"
#include "simport.h"

#include "app/form1.h"
#include "tools/linklog.h"
#include "tools/registerwatch.h"
#include "tools/toolsmenu.h"

#include <QCoreApplication>
#include <QDir>
#include <QTemporaryDir>

#include <sys/resource.h>

namespace {

double cpuSeconds()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_utime.tv_sec + usage.ru_stime.tv_sec + (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

long residentKilobytes()
{
    QFile status(QStringLiteral("/proc/self/statm"));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    return status.readAll().split(' ').value(1).toLong() * 4; // pages of 4 kB
}

} // namespace

WatchFigures watchRegisters(int seconds)
{
    QTemporaryDir dir;
    const QString previous = QDir::currentPath();
    QDir::setCurrent(dir.path());
    WatchFigures figures;
    {
        // The in-process board and a clock that jumps: an hour in a few seconds.
        FakeClock clock;
        SimPort port;
        FakePlatform fakes;
        Form1 form(fakes.platform(port, clock));
        form.Form_Load();
        ToolsMenu &tools = *form.findChild<ToolsMenu *>();
        LinkLog &log = tools.linkLog();
        log.show();
        RegisterWatch &watch = tools.registerWatch();
        watch.setOn(true);
        const long before = residentKilobytes();
        const double cpu = cpuSeconds();
        for (int second = 0; second < seconds; ++second) {
            // The sync status changes now and then, as an input comes and goes.
            port.board().setChipRegister(0x01, quint8(second / 10 % 2));
            watch.readNow();
            clock.pause(1.0);
            QCoreApplication::processEvents();
        }
        figures.cpu = cpuSeconds() - cpu;
        figures.growthKilobytes = residentKilobytes() - before;
        figures.logLines = int(log.lines().size());
        figures.sent = int(port.received.size());
    }
    QDir::setCurrent(previous);
    return figures;
}

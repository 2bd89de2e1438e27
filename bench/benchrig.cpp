#include "benchrig.h"

#include "boardprocess.h"
#include "fakes.h"
#include "app/form1.h"
#include "app/realplatform.h"
#include "files/registerfile.h"
#include "link/boardlink.h"
#include "link/linkmonitor.h"
#include "link/hex.h"
#include "modes/videomode.h"
#include "platform/serialport.h"
#include "registers/readall.h"
#include "registers/registerboxes.h"
#include "tools/comparefile.h"
#include "tools/linklog.h"
#include "tools/quickload.h"
#include "tools/toolsmenu.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTest>

#include <cstdio>
#include <sys/resource.h>

namespace {

constexpr double CharactersPerSecond = LineSettings{}.charactersPerSecond();

// A message the bench did not expect is printed beside the figures it spoils.
void printMessages(FakeMessageBoxes &messages)
{
    for (const QString &text : messages.texts())
        std::printf("  message: %s\n", qPrintable(text));
    messages.shown.clear();
}

// The bench's own, or that of the processes it started and waited for.
double cpuSeconds(int who = RUSAGE_SELF)
{
    rusage usage{};
    getrusage(who, &usage);
    return usage.ru_utime.tv_sec + usage.ru_stime.tv_sec + (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

// The characters of one line of the board's log ("rx ..." or "tx ...").
int logCharacters(const QByteArray &escaped)
{
    int count = 0;
    for (int i = 0; i < escaped.size(); ++i, ++count) {
        if (escaped.at(i) == '\\')
            i += escaped.at(i + 1) == 'x' ? 3 : 1;
    }
    return count;
}

} // namespace

struct Board : sim::BoardProcess
{
    using BoardProcess::BoardProcess;
};

// The real port and clock; the test fakes for the rest, no other copy
// running and the file dialog answered by the bench.
struct BenchRig::Platform : FakePlatform
{
    QtSerialPort port;
    RealClock clock;
};

BenchRig::BenchRig()
    : m_platform(std::make_unique<Platform>())
{
    QDir::setCurrent(m_dir.path());
    m_board = std::make_unique<Board>(
        sim::BoardProcess::Settings{QStringLiteral("COM1"), {}, true, m_dir.filePath(QStringLiteral("board.log"))});
    m_form = std::make_unique<Form1>(m_platform->platform(m_platform->port, m_platform->clock));
    m_ready = m_board->ready() && m_form->Form_Load();
    if (!m_ready)
        std::printf("could not start the simulated board\n");
}

BenchRig::~BenchRig() = default;

Measured BenchRig::measure(const std::function<void()> &action, double pauses)
{
    Measured m;
    const double cpu = cpuSeconds();
    QElapsedTimer wall;
    wall.start();
    action();
    m.wall = wall.nsecsElapsed() / 1e9;
    m.cpu = cpuSeconds() - cpu;
    printMessages(m_platform->messages);

    // What crossed the line meanwhile. The board's answers to Q fall into
    // the reset's pause, which the floor counts instead.
    QFile log(m_dir.filePath(QStringLiteral("board.log")));
    int characters = 0;
    int resets = 0;
    if (log.open(QIODevice::ReadOnly) && log.seek(m_logOffset)) {
        bool afterQ = false;
        for (const QByteArray &line : log.readAll().split('\n')) {
            const QByteArray bytes = line.mid(3);
            const bool onlyQ = line.startsWith("rx ") && bytes.count('Q') == bytes.size();
            resets += onlyQ ? bytes.size() : 0;
            if (!onlyQ && !(afterQ && line.startsWith("tx ")))
                characters += logCharacters(bytes);
            afterQ = onlyQ || (afterQ && line.startsWith("tx "));
        }
        m_logOffset = log.pos();
    }
    m.floor = resets / 3 * BoardLink::ResetPause + pauses + characters / CharactersPerSecond;
    return m;
}

Measured BenchRig::readAll()
{
    auto *button = m_form->findChild<QAbstractButton *>(QStringLiteral("ReadAllRegisters"));
    return measure([button] { button->click(); }, ReadAll::ClosingPause);
}

Measured BenchRig::boxWrite()
{
    RegisterBoxes &boxes = m_form->boxes();
    return measure([&boxes] { boxes.setText(0x03, QStringLiteral("5A")); }, 0);
}

Measured BenchRig::videoModeOk()
{
    VideoMode &dialog = m_form->videoMode();
    return measure([&dialog] { dialog.OKButton_Click(); }, ReadAll::ClosingPause); // the read-back's
}

bool BenchRig::writeChangingFile(const QString &name)
{
    RegisterFile::Texts texts;
    for (int k = 0; k < RegisterMap::Count; ++k)
        texts.at(size_t(k)) = Hex_Digits(~RegisterMap::textToByte(m_form->boxes().text(k)).value_or(0) & 0xFF, 2);
    QFile file(m_dir.filePath(name));
    if (!file.open(QIODevice::WriteOnly) || file.write(RegisterFile::format(texts)) < 0)
        return false;
    file.close();
    m_platform->fileDialog.answers = {file.fileName()};
    return true;
}

Measured BenchRig::load()
{
    if (!writeChangingFile(QStringLiteral("load.txt")))
        return {};
    auto *item = m_form->findChild<QAction *>(QStringLiteral("nFileLoadRegisterFrom"));
    return measure([item] { item->trigger(); }, 0);
}

namespace {

// Presses Esc as the n-th write's command letter goes out, then times what
// still crosses the line.
struct EscAtWrite : LinkMonitor
{
    void exchangeStarted(const QString &) override {}
    void sent(const QByteArray &bytes) override
    {
        if (clock.isValid()) {
            characters += int(bytes.size());
            lastSent = clock.nsecsElapsed() / 1e9;
        } else if (bytes == "W" && --writes == 0) {
            clock.start();
            QTest::keyClick(form, Qt::Key_Escape);
        }
    }
    void received(const QByteArray &bytes) override { characters += clock.isValid() ? int(bytes.size()) : 0; }
    void failed(const QString &) override {}

    QWidget *form = nullptr;
    int writes = 0;
    QElapsedTimer clock;
    int characters = 0;
    double lastSent = 0;
};

} // namespace

BenchRig::Cancelled BenchRig::cancelledLoad(int atRegister)
{
    if (!writeChangingFile(QStringLiteral("cancelled.txt")))
        return {};
    m_form->show();
    if (!QTest::qWaitForWindowActive(m_form.get()))
        std::printf("the window did not become active: Esc goes nowhere\n");
    EscAtWrite monitor;
    monitor.form = m_form.get();
    monitor.writes = atRegister + 1;
    m_form->link().addMonitor(&monitor);
    m_form->findChild<QAction *>(QStringLiteral("nFileLoadRegisterFrom"))->trigger();
    m_form->link().removeMonitor(&monitor);
    measure([] {}, 0); // the next figure's log starts after this load
    const double end = monitor.clock.isValid() ? monitor.clock.nsecsElapsed() / 1e9 : 0;
    return {monitor.lastSent, monitor.characters / CharactersPerSecond, end};
}

Measured BenchRig::quickLoad()
{
    if (!writeChangingFile(QStringLiteral("quick.txt")))
        return {};
    QuickLoad &quick = m_form->findChild<ToolsMenu *>()->quickLoad();
    return measure([&quick] { quick.run(); }, 0);
}

Measured BenchRig::compare()
{
    if (!writeChangingFile(QStringLiteral("compare.txt")))
        return {};
    CompareFile &compare = m_form->findChild<ToolsMenu *>()->compareFile();
    const Measured m = measure([&compare] { compare.run(); }, 0);
    compare.hide();
    return m;
}

Measured BenchRig::readAllWithLog()
{
    LinkLog &log = m_form->findChild<ToolsMenu *>()->linkLog();
    log.show();
    // The window's first paint (fonts found and loaded) is not part of Read All.
    QElapsedTimer shown;
    shown.start();
    while (shown.elapsed() < 300)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    const Measured m = readAll();
    log.hide();
    return m;
}

Measured BenchRig::silentWait()
{
    const sim::BoardProcess silent({QStringLiteral("COM2"), {sim::BoardOptions::Fault::Silent, 0}, false, {}});
    QtSerialPort port;
    FakeMessageBoxes messages;
    BoardLink link(port, m_platform->clock, messages);
    Measured m;
    if (!silent.ready() || !port.open({2, {}}, LineSettings{}))
        return m;
    const double cpu = cpuSeconds();
    QElapsedTimer wall;
    wall.start();
    link.Wait_Serial_Input(1);
    m.wall = wall.nsecsElapsed() / 1e9;
    m.cpu = cpuSeconds() - cpu;
    m.floor = 1;
    printMessages(messages);
    return m;
}

Measured BenchRig::replay(const QString &script)
{
    // The script's kv71xx-cli opens the port itself, one run at a time.
    m_form->mDisconnectSerial_Click();
    QProcess shell;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("PATH"),
               QFileInfo(QStringLiteral(KV71XX_CLI_EXE)).absolutePath() + QLatin1Char(':')
                   + env.value(QStringLiteral("PATH")));
    env.insert(QStringLiteral("PORT"), QStringLiteral("1"));
    shell.setProcessEnvironment(env);
    const double cpu = cpuSeconds(RUSAGE_CHILDREN);
    Measured m = measure(
        [&] {
            shell.start(script);
            shell.waitForFinished(300000);
        },
        0);
    m.cpu = cpuSeconds(RUSAGE_CHILDREN) - cpu;
    if (shell.exitStatus() != QProcess::NormalExit || shell.exitCode() != 0)
        std::printf("  the script failed: %s\n", shell.readAllStandardError().constData());
    return m;
}

long peakKilobytes()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

int paintOnce(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QTemporaryDir dir;
    QDir::setCurrent(dir.path());
    // The real platform, with a lock of its own beside a running copy.
    RealPlatform real(dir.filePath(QStringLiteral("kv71xx.lock")));
    Form1 form(real.platform());
    if (!form.Form_Load())
        return 1;
    struct FirstPaint : QObject
    {
        bool eventFilter(QObject *, QEvent *event) override
        {
            if (event->type() == QEvent::Paint)
                QMetaObject::invokeMethod(
                    qApp, [] { QCoreApplication::exit(0); }, Qt::QueuedConnection);
            return false;
        }
    } firstPaint;
    app.installEventFilter(&firstPaint);
    form.show();
    QApplication::exec();
    std::printf("%ld\n", peakKilobytes());
    std::fflush(stdout);
    return 0;
}

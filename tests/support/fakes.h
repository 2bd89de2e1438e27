#pragma once

#include "platform/clock.h"
#include "platform/devicechooser.h"
#include "platform/filechooser.h"
#include "platform/messageboxes.h"
#include "platform/platform.h"
#include "platform/programend.h"
#include "platform/programlauncher.h"
#include "platform/registry.h"
#include "platform/singleinstance.h"

#include <QCoreApplication>
#include <QMap>
#include <QSemaphore>
#include <QStringList>

#include <functional>
#include <thread>

// Writes bytes into the file at path, replacing what it held.
void writeFile(const QString &path, const QByteArray &bytes);

#ifdef Q_OS_UNIX // POSIX signals
// SIGTERM, SIGINT and SIGHUP as the rows of an int column "signal".
void addTerminationSignalRows();
#endif

// What the platform was asked to do, in order.
struct EventLog
{
    QStringList events;
    void add(const QString &event) { events.append(event); }
};

// Time passes only in waits (a blocking wait jumps to its deadline); onWait runs in each.
struct FakeClock : Clock
{
    explicit FakeClock(EventLog *log = nullptr)
        : m_log(log)
    {}
    double seconds() const override { return m_now; }
    void pause(double seconds) override
    {
        if (m_log)
            m_log->add(QString("pause %1").arg(seconds));
        m_now += seconds;
        onWait();
    }
    void processEvents() override
    {
        if (m_log)
            m_log->add("yield");
        QCoreApplication::processEvents();
    }
    void waitForEvents(double deadline) override
    {
        ++blockingWaits;
        QCoreApplication::processEvents();
        onWait();
        m_now = qMax(m_now, deadline);
    }
    std::function<void()> onWait = [] {};
    int blockingWaits = 0;
    EventLog *m_log;
    double m_now = 1000.0;
};

struct FakeMessageBoxes : MessageBoxes
{
    struct Shown
    {
        QString text;
        QString caption;
        Icon icon;
        double at; // clock seconds when shown
    };

    explicit FakeMessageBoxes(const Clock *clock = nullptr, EventLog *log = nullptr)
        : m_clock(clock)
        , m_log(log)
    {}
    using MessageBoxes::show;
    void show(const QString &text, const QString &caption, Icon icon) override
    {
        if (m_log)
            m_log->add("message " + text);
        shown.append({text, caption, icon, m_clock ? m_clock->seconds() : 0.0});
    }
    QStringList texts() const
    {
        QStringList result;
        for (const Shown &s : shown)
            result.append(s.text);
        return result;
    }
    QList<Shown> shown;
    const Clock *m_clock;
    EventLog *m_log;
};

struct FakeInstance : SingleInstance
{
    bool running = false;
    bool anotherCopyRunning() override { return running; }
};

// Answers each dialog with the next answer (nothing: the user cancels).
struct FakeFileChooser : FileChooser
{
    QList<std::optional<QString>> answers;
    QList<Request> requests;
    std::optional<QString> choose(const Request &request) override
    {
        requests.append(request);
        return answers.isEmpty() ? std::nullopt : answers.takeFirst();
    }
};

struct FakeEnd : ProgramEnd
{
    explicit FakeEnd(EventLog *log)
        : m_log(log)
    {}
    void endProgram() override { m_log->add("end"); }
    EventLog *m_log;
};

// String values under the machine-wide root by "KEY|VALUE"; opens records each key and access mask.
struct FakeRegistry : Registry
{
    QMap<QString, QByteArray> values;
    QStringList opens;

    long RegOpenKeyExA(Key root, const QString &subKey, quint32, quint32 access, Key *result) override
    {
        opens.append(QString("%1 %2").arg(subKey).arg(access, 0, 16));
        openedKey = subKey;
        *result = root == LocalMachine && !values.keys().filter(subKey + '|').isEmpty();
        openKeys += int(*result);
        return *result ? Success : FileNotFound;
    }
    long RegQueryValueExA(Key, const QString &valueName, quint32 *type, QByteArray *buffer, quint32 *size) override
    {
        const QByteArray data = values.value(openedKey + '|' + valueName);
        if (data.isEmpty())
            return FileNotFound;
        *type = StringType;
        *size = quint32(data.size());
        buffer->replace(0, data.size(), data);
        return Success;
    }
    long RegCloseKey(Key) override
    {
        --openKeys;
        return Success;
    }
    QString openedKey;
    int openKeys = 0; // opened and not yet closed
};

// Only the listed files exist, and only they start.
struct FakeLauncher : ProgramLauncher
{
    QStringList files;
    QStringList started;
    bool fileExists(const QString &path) const override { return files.contains(path); }
    bool startDetached(const QString &path) override { return files.contains(path) && (started.append(path), true); }
};

// The listed devices; the chooser records each request and gives the next answer (none: cancel).
struct FakeSerialDevices : SerialDevices, DeviceChooser
{
    QList<SerialDevice> devices;
    QList<std::optional<int>> answers;
    QList<Request> asked;
    QList<SerialDevice> detected() const override { return devices; }
    std::optional<int> choose(const Request &request) override
    {
        asked.append(request);
        return answers.isEmpty() ? std::nullopt : answers.takeFirst();
    }
};

// Every platform object but the port and the clock, as a fake; the messages
// and the end are recorded in log when one is given.
struct FakePlatform
{
    explicit FakePlatform(const Clock *clock = nullptr, EventLog *log = nullptr)
        : messages(clock, log)
        , end(log ? log : &endLog)
    {}
    Platform platform(SerialPort &port, Clock &clock) { return platformOf(*this, port, clock); }

    EventLog endLog;
    FakeMessageBoxes messages;
    FakeInstance instance;
    FakeEnd end;
    FakeRegistry registry;
    FakeLauncher launcher;
    FakeFileChooser fileDialog;
    FakeSerialDevices devices;
    DeviceChooser &deviceChooser = devices;
};

#ifdef Q_OS_UNIX // POSIX file size limits and FIFOs
// No file grows beyond bytes (below 0: any size): a write past it fails with "File too large".
void limitFileSize(long bytes);

// A FIFO whose reading end is open unless told otherwise: take() gets up to 64 KiB of what a writer wrote.
// A wait in open() or read() on it is woken within seconds.
class Fifo
{
public:
    explicit Fifo(const QString &path, bool reader = true);
    ~Fifo();
    QByteArray take();
    bool isFifo() const;

private:
    QByteArray m_path;
    int m_reader;
    QSemaphore m_done;
    std::thread m_rescue;
};
#endif

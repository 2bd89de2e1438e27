#pragma once

#include "platform/clock.h"
#include "platform/devicechooser.h"
#include "platform/filechooser.h"
#include "platform/messageboxes.h"
#include "platform/programend.h"
#include "platform/programlauncher.h"
#include "platform/registry.h"
#include "platform/singleinstance.h"

#include <QMap>
#include <QSemaphore>
#include <QStringList>

#include <functional>
#include <thread>

// SIGTERM, SIGINT and SIGHUP as the rows of an int column "signal".
void addTerminationSignalRows();

// What the platform was asked to do, in order across port, clock and message boxes.
struct EventLog
{
    QStringList events;
    void add(const QString &event) { events.append(event); }
};

// Time passes only when the program waits: a blocking wait jumps to its deadline. onWait runs
// whenever time passes (a pause; a blocking wait, after the pending events).
class FakeClock : public Clock
{
public:
    explicit FakeClock(EventLog *log = nullptr)
        : m_log(log)
    {}

    double seconds() const override { return m_now; }
    void pause(double seconds) override;
    void processEvents() override;
    void waitForEvents(double deadline) override;

    std::function<void()> onWait;
    int blockingWaits = 0;

private:
    EventLog *m_log;
    double m_now = 1000.0;
};

class FakeMessageBoxes : public MessageBoxes
{
public:
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
    void show(const QString &text, const QString &caption, Icon icon) override;
    QStringList texts() const;

    QList<Shown> shown;

private:
    const Clock *m_clock;
    EventLog *m_log;
};

class FakeInstance : public SingleInstance
{
public:
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

class FakeEnd : public ProgramEnd
{
public:
    explicit FakeEnd(EventLog *log = nullptr)
        : m_log(log)
    {}
    void endProgram() override { m_log->add(QStringLiteral("end")); }

private:
    EventLog *m_log;
};

// String values under the machine-wide root by "KEY|VALUE"; opens records each key and access mask.
class FakeRegistry : public Registry
{
public:
    QMap<QString, QByteArray> values;
    QStringList opens;

    long RegOpenKeyExA(Key root, const QString &subKey, quint32 options, quint32 access, Key *result) override;
    long RegQueryValueExA(Key key, const QString &valueName, quint32 *type, QByteArray *buffer, quint32 *size) override;
    long RegCloseKey(Key) override { return Success; }

    QString openedKey;
};

// Only the listed files exist, and only they start.
class FakeLauncher : public ProgramLauncher
{
public:
    QStringList files;
    QStringList started;

    bool fileExists(const QString &path) const override { return files.contains(path); }
    bool startDetached(const QString &path) override
    {
        if (files.contains(path))
            started.append(path);
        return files.contains(path);
    }
};

// The detected serial devices are the listed ones; the chooser answers with
// the next answer (nothing: the user cancels) and records each port it was asked for.
struct FakeSerialDevices : SerialDevices, DeviceChooser
{
    QList<SerialDevice> devices;
    QList<std::optional<int>> answers;
    QStringList asked;
    QList<SerialDevice> detected() const override { return devices; }
    std::optional<int> choose(const QString &portName, const QList<SerialDevice> &) override
    {
        asked.append(portName);
        return answers.isEmpty() ? std::nullopt : answers.takeFirst();
    }
};

// A disk that takes no file beyond bytes (below 0: any size); a write past it
// fails with "File too large".
void limitFileSize(long bytes);

// A FIFO made at path, with its reading end open unless told otherwise, so
// that a writer does not wait and what it writes (up to the pipe's 64 KiB) can
// be taken. A program that wrongly waits in open() or read() on it is woken
// within seconds instead of waiting for ever.
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

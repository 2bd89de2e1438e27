#pragma once

#include "app/messageboxes.h"
#include "app/platform.h"
#include "app/programend.h"
#include "app/singleinstance.h"
#include "link/clock.h"

#include <QStringList>

// One record of what the platform was asked to do, shared by the fakes so
// that tests can check the order across port and clock.
struct EventLog
{
    QStringList events;
    void add(const QString &event) { events.append(event); }
};

// Time passes only when the program waits: a blocking wait jumps straight to
// its deadline, so time-outs cost no real seconds.
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

    int blockingWaits() const { return m_blockingWaits; }

private:
    EventLog *m_log;
    double m_now = 1000.0;
    int m_blockingWaits = 0;
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

class FakeEnd : public ProgramEnd
{
public:
    explicit FakeEnd(EventLog *log = nullptr)
        : m_log(log)
    {}
    int ended = 0;
    void endProgram() override;

private:
    EventLog *m_log;
};

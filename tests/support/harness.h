#pragma once

#include "fakes.h"
#include "simport.h"

#include "app/form1.h"

#include <QTemporaryDir>

#include <memory>

class QLineEdit;
class QScrollBar;

// The main window on fakes: the simulated board in-process, a clock that
// jumps, recorded message boxes, started in a fresh working directory.
struct Harness
{
    explicit Harness(const sim::BoardOptions &options = {}, bool load = true);
    ~Harness();

    Platform platform() { return {port, clock, messages, instance, end}; }

    QLineEdit *box(int address) const;
    QScrollBar *slider(int address) const;
    QString text(int address) const;
    // Sets a box's text as the program does (raises its change handling).
    void setText(int address, const QString &text);
    // Types into a box with real key events.
    void type(int address, const QString &keys);

    QString previousDirectory;
    QTemporaryDir dir;
    EventLog log;
    FakeClock clock{&log};
    FakeMessageBoxes messages{&clock, &log};
    SimPort port;
    FakeInstance instance;
    FakeEnd end{&log};
    std::unique_ptr<Form1> form;
};

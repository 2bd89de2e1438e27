#pragma once

#include <QTemporaryDir>

#include <functional>
#include <memory>

class Form1;
struct Board;

struct Measured
{
    double wall = 0; // seconds
    double floor = 1; // seconds: characters moved at 960 a second plus fixed pauses
    double cpu = 0; // seconds of the program's CPU time meanwhile
};

// The desktop program's window on the real serial port and clock, against
// kv71xx-board paced at 9600 baud in a folder of its own.
class BenchRig
{
public:
    BenchRig();
    ~BenchRig();

    bool ready() const { return m_ready; }
    Form1 &form() { return *m_form; }

    Measured readAll();
    Measured boxWrite();
    Measured videoModeOk();
    // A register file that changes all 64 registers, loaded through the window.
    Measured load();
    // Tools > Quick Load of a file that changes all 64 registers.
    Measured quickLoad();
    // Tools > Compare With File against that file.
    Measured compare();
    // Read All with the Link Log open.
    Measured readAllWithLog();
    // File > Load cancelled with Esc as the write of register `atRegister`
    // begins, in seconds from the key.
    struct Cancelled
    {
        double lastSent = 0; // to the last character the program sent
        double floor = 1; // what the exchange in flight still moves, at 960 a second
        double end = 0; // to the end of the command
    };
    Cancelled cancelledLoad(int atRegister);
    // A board that never answers: the first echo wait runs its full second.
    Measured silentWait();
    // kv71xx-cli running a script recorded in the window, on the rig's port;
    // cpu is the script's own (the processes it started).
    Measured replay(const QString &script);

    // Runs the action and measures it; pauses is the seconds the program
    // must wait whatever the line does.
    Measured measure(const std::function<void()> &action, double pauses);

private:
    // A register file in which every register gets a value its box does
    // not show yet; the file dialog answers with it.
    bool writeChangingFile(const QString &name);

    struct Platform;

    QTemporaryDir m_dir;
    std::unique_ptr<Board> m_board;
    std::unique_ptr<Platform> m_platform;
    std::unique_ptr<Form1> m_form;
    qint64 m_logOffset = 0;
    bool m_ready = false;
};

// The bench's peak resident memory so far.
long peakKilobytes();

// Start-up of the real window: prints the peak memory once it has painted.
int paintOnce(int argc, char *argv[]);

#pragma once

#include "invocation.h"

#include "files/registerfile.h"
#include "link/boardcommands.h"
#include "link/boardlink.h"
#include "registers/registerengine.h"

#include <optional>

class Clock;
class MessageBoxes;
class QIODevice;
class SerialPort;

// Carries out one invocation on the board: results go to out, every failure
// is one line through the message boxes, and the progress line (when given a
// device for it) shows how far a long command has come.
class Runner
{
public:
    Runner(const Invocation &invocation, SerialPort &port, Clock &clock, MessageBoxes &messages, QIODevice &out,
           QIODevice *progress = nullptr);

    // The exit status.
    int run();
    BoardLink &link() { return m_link; }

private:
    using Values = RegisterMap::Values;
    using Run = RegisterEngine::Run;
    class Progress;
    class Exchanges;

    int readOne();
    int writeOne();
    int dump();
    int load();
    int diff();
    // Several chip registers after one reset (multiwrite.cpp), and the
    // registers watched for changes (watch.cpp).
    int writeRegisters();
    int verifyWritten();
    int watch();

    // Checks the whole file before anything is sent.
    std::optional<Values> fileValues();
    bool connect();
    // The runs' registers, each run a burst; nothing, after saying which run
    // failed, when the board did not send one or sent no byte. The progress
    // line, where there is one, moves before each exchange.
    std::optional<Values> readRuns(const QList<Run> &runs, Progress *progress = nullptr);
    // The given registers, adjacent ones by the burst.
    std::optional<Values> readRegisters(const QList<int> &addresses);
    // values[i] for the i-th register of the runs; the index of the run the
    // board did not confirm, after which nothing more was sent.
    std::optional<int> writeRuns(const QList<Run> &runs, const QList<quint8> &values, RegisterEngine::One one,
                                 Progress *progress = nullptr);
    // Prints each register that differs, leaving out those the chip sets;
    // Differs when there was one.
    int compare(const Values &expected, const Values &chip, const QString &expectedName);
    int fail(int status, const QString &message);
    // False, after saying so, when standard output did not take all of bytes.
    bool print(const QByteArray &bytes);
    // "register 06", "registers 06 to 0D".
    static QString runName(const Run &run);
    // "; the registers after it were not written".
    static QString notWrittenAfter(const Run &run);

    const Invocation m_invocation;
    MessageBoxes &m_messages;
    QIODevice &m_out;
    QIODevice *m_progress;
    Clock &m_clock;
    BoardLink m_link;
    BoardCommands m_commands{m_link};
    RegisterEngine m_engine{m_commands};
};

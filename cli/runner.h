#pragma once

#include "invocation.h"

#include "files/registerfile.h"
#include "link/boardcommands.h"
#include "link/boardlink.h"

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
    using Values = std::array<quint8, RegisterMap::Count>;
    class Progress;

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
    // The given registers, adjacent ones by the burst; the rest of the
    // values stay 0 (registerruns.cpp).
    std::optional<Values> readRegisters(const QList<int> &addresses);

    // Checks the whole file before anything is sent.
    std::optional<Values> fileValues();
    bool connect();
    std::optional<Values> readAll(Progress &progress);
    bool writeAll(const Values &values, Progress &progress);
    bool writeBursts(const Values &values, Progress &progress);
    // Prints each register that differs, leaving out those the chip sets;
    // Differs when there was one.
    int compare(const Values &expected, const Values &chip, const QString &expectedName);
    int fail(int status, const QString &message);
    // False, after saying so, when standard output did not take all of bytes.
    bool print(const QByteArray &bytes);

    const Invocation m_invocation;
    MessageBoxes &m_messages;
    QIODevice &m_out;
    QIODevice *m_progress;
    Clock &m_clock;
    BoardLink m_link;
    BoardCommands m_commands{m_link};
};

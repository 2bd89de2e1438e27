#pragma once

#include "registermap.h"

#include <QList>
#include <QString>

#include <optional>

class BoardCommands;

// The board's register traffic as values: runs of consecutive registers,
// writes and reads of them with what the board confirmed, the whole chip in
// four bursts, and a file's values against what was read. It shows nothing:
// the window's boxes, the tools and the companion each present what it
// returns. A long operation tells its caller of every exchange before and
// after it, and the caller may end it between two.
class RegisterEngine
{
public:
    // Registers at consecutive addresses, which one command carries.
    struct Run
    {
        int first = 0;
        int length = 0;
    };

    // What one read brought back.
    struct Block
    {
        Run run;
        QString text; // as the board sent it, two characters a register
        bool read = false; // the board sent it all and confirmed it
        // A register's characters of the text: fewer, or none, where it is shorter.
        QString textOf(int address) const;
        // A register's value: nothing when the board did not send it or it is no byte.
        std::optional<quint8> valueOf(int address) const;
    };

    // How a run of one register goes on the wire: as a burst of one, or as
    // the one-register command.
    enum class One { Burst, Command };

    // What a long operation tells its caller.
    class Steps
    {
    public:
        virtual ~Steps() = default;
        // Before each exchange: false ends the operation, nothing more sent.
        virtual bool next(const Run &) { return true; }
        virtual void written(const Run &, bool /*confirmed*/) {}
        virtual void read(const Block &) {}
    };

    explicit RegisterEngine(BoardCommands &commands);

    // The addresses in the order given as runs of at most `longest`: a run
    // goes on while each address is one above the one before.
    static QList<Run> runs(const QList<int> &addresses, int longest = RegisterMap::Count);
    // All the chip's registers in the bursts that read and write them at once.
    static QList<Run> wholeChip();

    // Writes the runs, values[i] for the i-th address they hold. True when the
    // board confirmed every one of them.
    bool write(const QList<Run> &runs, const QList<quint8> &values, One one, Steps &steps);
    bool write(const RegisterMap::Values &values, One one, Steps &steps);
    // Reads the runs; what came back, one block a run.
    QList<Block> read(const QList<Run> &runs, One one, Steps &steps);

    // The registers that differ between what was expected and what was read,
    // where both hold one; the chip's own 0x00 to 0x02 apart, as a write does
    // not change them.
    struct Differences
    {
        QList<int> compared;
        QList<int> chipOwned;
    };
    static Differences differences(const RegisterMap::Values &expected, const RegisterMap::Values &read);

private:
    bool write(const Run &run, const QList<quint8> &values, One one);
    Block read(const Run &run, One one);

    BoardCommands &m_commands;
};

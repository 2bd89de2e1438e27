#pragma once

#include "registers/registermap.h"

#include <QList>
#include <QString>

#include <map>

class BoardCommands;
class RegisterBoxes;

// Burst writes and reads for the tools: many registers in one command each
// way, the boxes filled from what was read as Read All fills them.
namespace RegisterBursts {

// Register values by address.
using Values = std::map<int, quint8>;

// Consecutive registers: one burst.
struct Run
{
    int first = 0;
    QList<quint8> values;
};
// The values in as few runs of consecutive addresses as they allow.
QList<Run> runs(const Values &values);

// The values a register file's lines give, by the rules of Load: line k for
// register k, the first 64 lines only; lines that hold no byte are skipped.
struct FileValues
{
    Values values;
    int lines = 0; // lines used, at most 64
    QList<int> skipped;
};
FileValues fromLines(const QStringList &lines);

// One burst write; true when the board confirmed it.
bool write(BoardCommands &commands, const Run &run);

// Reads `length` registers from `first` with one burst and puts them in their
// boxes without writing them (the caller sets ReadingAllRegisters). A burst
// the board did not send leaves its boxes as they were, marked as not read.
// True when it was read.
bool readInto(BoardCommands &commands, RegisterBoxes &boxes, int first, int length);

// The box's value when it was read and holds a byte.
std::optional<quint8> readValue(const RegisterBoxes &boxes, int address);

// Marks a register whose read-back is not what was written.
void markNotLoaded(RegisterBoxes &boxes, int address, quint8 wrote);

// The registers of `values` that were read back and differ, chip-owned
// registers left out.
QList<int> differences(const RegisterBoxes &boxes, const Values &values);

} // namespace RegisterBursts

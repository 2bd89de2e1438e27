#pragma once

#include <QStringList>

class BoardCommands;

// The eight input video modes the board knows. For each: what the dialog
// shows, the board mode number the FPGA frames the image by, and the chip's
// PLL line length (pixel clocks per line, high and low byte) and output
// format.
namespace Presets {

struct Preset
{
    const char *option; // object name of its option button
    const char *group; // resolution label of its row on screen
    const char *caption;
    quint8 boardMode; // FPGA register 0x00
    quint8 htotalMsb; // chip register 0x0E
    quint8 htotalLsb; // chip register 0x0F
    quint8 outputFormat; // chip register 0x18
};

constexpr int Count = 8;

// Indexed by option number minus one.
const Preset &at(int index);

// Sends the preset's writes in order: board mode, line length high and low
// byte, output format. Part of a preset is no mode at all, so the writes stop
// at the first one the board did not confirm. Returns the names of the
// registers not confirmed: none when the whole preset went through.
QStringList write(BoardCommands &commands, const Preset &preset);
// The names of the registers a preset writes, in the order it writes them.
QStringList registerNames();

} // namespace Presets

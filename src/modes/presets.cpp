#include "presets.h"

#include "link/boardcommands.h"
#include "link/hex.h"
#include "registers/registermap.h"

#include <array>

namespace Presets {

namespace {

// The board mode number follows the option numbering, not the places on
// screen: Option6 sits among the SXGA modes.
constexpr std::array<Preset, Count> Table = {{
    {"Option1", "UXGA (1600x1200)", "60Hz refresh/162MHz pixel rate", 0, 0x08, 0x70, 0x00},
    {"Option2", "SXGA (1280x1024)", "60Hz/108MHz", 1, 0x06, 0x98, 0x00},
    {"Option3", "SXGA (1280x1024)", "75Hz/135MHz", 2, 0x06, 0x98, 0x00},
    {"Option4", "SXGA (1280x1024)", "60Hz, double sampled (216MHz)", 3, 0x0D, 0x30, 0x01},
    {"Option5", "XGA (1024x768)", "60Hz/65MHz", 4, 0x05, 0x40, 0x00},
    {"Option6", "SXGA (1280x1024)", "85Hz/157.5MHz", 5, 0x06, 0xC0, 0x00},
    {"Option7", "SVGA (800x600)", "60Hz/40MHz", 6, 0x04, 0x20, 0x00},
    {"Option8", "VGA (640x480)", "60Hz/21.175MHz", 7, 0x03, 0x20, 0x00},
}};

enum class Target { Fpga, Chip };

struct Step
{
    Target target;
    int address;
    quint8 Preset::*value;
};

constexpr std::array<Step, 4> Steps = {{
    {Target::Fpga, 0x00, &Preset::boardMode},
    {Target::Chip, 0x0E, &Preset::htotalMsb},
    {Target::Chip, 0x0F, &Preset::htotalLsb},
    {Target::Chip, 0x18, &Preset::outputFormat},
}};

QString nameOf(const Step &step)
{
    return step.target == Target::Chip ? RegisterMap::caption(step.address)
                                       : QStringLiteral("FPGA Board Mode (0x%1)").arg(Hex_Digits(step.address, 2));
}

QStringList namesFrom(size_t first)
{
    QStringList names;
    for (size_t i = first; i < Steps.size(); ++i)
        names.append(nameOf(Steps.at(i)));
    return names;
}

} // namespace

const Preset &at(int index)
{
    return Table.at(size_t(index));
}

QStringList write(BoardCommands &commands, const Preset &preset)
{
    for (size_t i = 0; i < Steps.size(); ++i) {
        const Step &step = Steps.at(i);
        const quint8 value = preset.*step.value;
        const bool confirmed = step.target == Target::Chip ? commands.Write_KV7106(step.address, value)
                                                           : commands.Write_FPGA(step.address, value);
        if (!confirmed)
            return namesFrom(i);
    }
    return {};
}

QStringList registerNames()
{
    return namesFrom(0);
}

} // namespace Presets

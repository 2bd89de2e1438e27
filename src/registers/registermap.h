#pragma once

#include <QString>

#include <QList>

#include <array>
#include <map>
#include <optional>

// The chip's 64 registers as the main window shows them. One row per register,
// indexed by address; the window's rows, the box attributes, the slider table
// and the register files are all built from this.
namespace RegisterMap {

constexpr int Count = 64;
constexpr int SliderCount = 30;

// Whole-chip reads and writes go in four bursts of 16 registers.
constexpr int BurstLength = 16;
constexpr int Bursts = Count / BurstLength;

// 0x00 (ID and revision), 0x01 (sync status) and 0x02 (sync polarity)
// belong to the chip: a write does not change them, and their values depend
// on the chip and its input, so comparisons with a file leave them out.
constexpr bool isChipOwned(int address)
{
    return address >= 0x00 && address <= 0x02;
}

// Register values by address.
using Values = std::map<int, quint8>;
QList<int> addresses(const Values &values);

enum class Page { User, Test };
enum class Column { Left, Right };

struct Register
{
    int address;
    const char *caption; // exactly as shown, blanks included
    Page page;
    Column column;
    int maxLength; // 0: no length limit
    bool enabled;
    const char *initialText;
    const char *slider; // object name of the register's slider, or nullptr
    int sliderMaximum;
};

const std::array<Register, Count> &registers();
const Register &at(int address);
QString caption(int address);
// The registers that have a slider, in ascending address order.
const std::array<int, SliderCount> &sliderAddresses();

// Text to byte: the whole text as a hexadecimal number 0..255; nothing for
// any other text (empty, blanks, three or more significant digits).
std::optional<quint8> textToByte(const QString &text);

// Text to slider position: every blank is skipped and the hexadecimal digits
// at the start of what remains give the position; a text without such digits
// gives 0. Values that do not fit an int saturate, so a long text is simply
// beyond every slider's range.
int textToSliderPosition(const QString &text);

// Upper-case hexadecimal without leading zeros: 5 is "5", 171 is "AB".
QString sliderText(int position);

} // namespace RegisterMap

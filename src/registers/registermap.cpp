#include "registermap.h"

#include "link/hex.h"

#include <climits>

namespace RegisterMap {

namespace {

constexpr Page U = Page::User;
constexpr Page T = Page::Test;
constexpr Column L = Column::Left;
constexpr Column R = Column::Right;
constexpr const char *Blank2 = "  ";

constexpr std::array<Register, Count> Table = {{
    {0x00, " ID and REVISION (00h) ", T, L, 2, true, "", nullptr, 0},
    {0x01, "Sync Status (0x01)", U, L, 2, false, "", nullptr, 0},
    {0x02, "Sync Polarity (0x02)", U, L, 2, false, "", nullptr, 0},
    {0x03, "HSYNC Slicer (0x03)", U, L, 2, true, "", nullptr, 0},
    {0x04, "SOG Slicer (0x04)", U, L, 2, true, "", nullptr, 0},
    {0x05, "Input Config (0x05)", U, L, 2, true, Blank2, nullptr, 0},
    {0x06, "Red Gain (0x06)", U, L, 2, true, Blank2, "RedGain_HScroll", 255},
    {0x07, "Green Gain (0x07)", U, L, 2, true, Blank2, "GreenGain_HScroll", 255},
    {0x08, "Blue Gain (0x08)", U, L, 2, true, Blank2, "BlueGain_HScroll", 255},
    {0x09, "Red Offset (0x09)", U, L, 2, true, Blank2, "RedOffset_HScroll", 255},
    {0x0A, "Green Offset (0x0A)", U, L, 2, true, Blank2, "GreenOffset_HScroll", 255},
    {0x0B, "Blue Offset (0x0B)", U, L, 2, true, Blank2, "BlueOffset_HScroll", 255},
    {0x0C, "Offset DAC Confog (0x0C)", U, L, 2, true, Blank2, nullptr, 0},
    {0x0D, "AFE Bandwidth (0x0D)", U, L, 2, true, Blank2, nullptr, 0},
    {0x0E, "PLL Htotal MSB (0x0E)", U, L, 2, true, Blank2, nullptr, 0},
    {0x0F, "PLL Htotal LSB (0x0F)", U, L, 2, true, Blank2, nullptr, 0},
    {0x10, "PLL Phase (0x10)", U, R, 2, true, "", "PllPhase_HScroll", 63},
    {0x11, "PLL Pre-Coast (0x11)", U, R, 2, true, "", "PllPreCoast_HScroll", 255},
    {0x12, "PLL Post-Coast (0x12)", U, R, 2, true, "", "PllPostCoast_HScroll", 255},
    {0x13, "PLL Misc (0x13)", U, R, 2, true, "", nullptr, 0},
    {0x14, "DC Restore/ABLC Starting MSB (0x14)", U, R, 2, true, "", "DCRestABLC_MSB_HScroll", 255},
    {0x15, "DC Restore/ABLC Starting LSB (0x15)", U, R, 2, true, "", "DCRestABLC_LSB_HScroll", 255},
    {0x16, "DC Restore Clamp Width (0x16)", U, R, 2, true, "", "DCRestClampWidth_HScroll", 255},
    {0x17, "ABLC Config (0x17)", U, R, 2, true, "", nullptr, 0},
    {0x18, "Output Format (0x18)", U, R, 2, true, "", nullptr, 0},
    {0x19, "HSout Width (0x19)", U, R, 2, true, "", "HSOUTWidth_HScroll", 255},
    {0x1A, "Output Disable (0x1A)", U, R, 2, true, "", nullptr, 0},
    {0x1B, "Power Control (0x1B)", U, R, 2, true, "", nullptr, 0},
    {0x1C, "PLL TUNING (1Ch)", T, L, 2, true, "", nullptr, 0},
    {0x1D, "RED ANALOG ABLC OFFSET (1Dh)", T, L, 2, true, "", "RedAnalogABLC_HScroll", 255},
    {0x1E, "GREEN ANALOG ABLC OFFSET (1Eh)", T, L, 2, true, "", "GreenAnalogABLC_HScroll", 255},
    {0x1F, "BLUE ANALOG ABLC OFFSET (1Fh)", T, L, 2, true, "", "BlueAnalogABLC_HScroll", 255},
    {0x20, "AFE CONTROL (20h) ", T, L, 0, true, "", nullptr, 0},
    {0x21, "PLL CONTROL (21h) ", T, L, 0, true, "", nullptr, 0},
    {0x22, "DC Restore Clamp 1 (0x22) ", U, R, 0, true, "", nullptr, 0},
    {0x23, "DC Restore Clamp 2 (0x23) ", U, R, 0, true, "", nullptr, 0},
    {0x24, "AFE BIAS CTRL 1(24h) ", T, L, 0, true, "", "AFE_BIAS_CTRL1_HScroll", 255},
    {0x25, "AFE BIAS CTRL 0 (25h) ", T, L, 0, true, "", "AFE_BIAS_CTRL0_HScroll", 255},
    {0x26, "ADC REF CTRL(26h) ", T, L, 0, true, "", "ADC_REF_CTRL_HScroll", 255},
    {0x27, "FG NUM (27h) ", T, L, 0, true, "", "FG_NUM_HScroll", 255},
    {0x28, "PG NUM (28h) ", T, L, 0, true, "", "PG_NUM_HScroll", 255},
    {0x29, "PHASE DELAY NUMBER MSB (29h) ", T, L, 0, true, "", "PHASE_DELAY_NUMBER_MSB_HScroll", 255},
    {0x2A, "PHASE DELAY NUMBER LSB (2Ah) ", T, L, 0, true, "", "PHASE_DELAY_NUMBER_LSB_HScroll", 255},
    {0x2B, "APLL DIV (2Bh) ", T, L, 0, true, "", "APLL_DIV_HScroll", 255},
    {0x2C, "EXTERNAL PNUM4 (2Ch) ", T, L, 0, true, "", "EXTERNAL_PNUM4_HScroll", 255},
    {0x2D, "EXTERNAL PNUM3 (2Dh) ", T, L, 0, true, "", "EXTERNAL_PNUM3_HScroll", 255},
    {0x2E, "EXTERNAL PNUM2 (2Eh) ", T, R, 0, true, "", "EXTERNAL_PNUM2_HScroll", 255},
    {0x2F, "EXTERNAL PNUM1 (2Fh) ", T, R, 0, true, "", "EXTERNAL_PNUM1_HScroll", 255},
    {0x30, "EXTERNAL PNUM0 (30h) ", T, R, 2, true, "", "EXTERNAL_PNUM0_HScroll", 255},
    {0x31, "AFE TEST CONTROL (31h) ", T, R, 2, true, "", nullptr, 0},
    {0x32, "LOCK CRITERIA (32h) ", T, R, 2, true, "", "LOCK_CRITERIA_HScroll", 255},
    {0x33, "FAST COAST LINE COUNT (33h) ", T, R, 2, true, "", nullptr, 0},
    {0x34, "SPARE(34h) ", T, R, 2, true, "", nullptr, 0},
    {0x35, "TEST DEBUG CONTROL (35h) ", T, R, 2, true, "", nullptr, 0},
    {0x36, "DEBUG CONTROL (36h) ", T, R, 2, true, "", nullptr, 0},
    {0x37, "PLL GAIN FAST (37h) ", T, R, 2, true, "", nullptr, 0},
    {0x38, "PLL NL CONTROL 1 (38h) ", T, R, 2, true, "", nullptr, 0},
    {0x39, "PLL NL CONTROL 2 (39h) ", T, R, 2, true, "", nullptr, 0},
    {0x3A, "PLL JITTER (3Ah) ", T, R, 2, true, "", nullptr, 0},
    {0x3B, "INTERNAL PNUM4 (3Bh) ", T, R, 2, true, "", nullptr, 0},
    {0x3C, "INTERNAL PNUM3 (3Ch) ", T, R, 2, true, "", nullptr, 0},
    {0x3D, "INTERNAL PNUM2 (3Dh) ", T, R, 2, true, "", nullptr, 0},
    {0x3E, "INTERNAL PNUM1 (3Eh) ", T, R, 2, true, "", nullptr, 0},
    {0x3F, "INTERNAL PNUM0 (3Fh) ", T, R, 2, true, "", nullptr, 0},
}};

constexpr bool rowsInAddressOrder()
{
    for (int i = 0; i < Count; ++i) {
        if (Table[size_t(i)].address != i)
            return false;
    }
    return true;
}
static_assert(rowsInAddressOrder(), "row i must hold register i");

constexpr int countSliders()
{
    int n = 0;
    for (const Register &r : Table)
        n += r.slider != nullptr;
    return n;
}
static_assert(countSliders() == SliderCount, "30 registers have a slider");

constexpr std::array<int, SliderCount> collectSliderAddresses()
{
    std::array<int, SliderCount> addresses{};
    size_t n = 0;
    for (const Register &r : Table) {
        if (r.slider)
            addresses[n++] = r.address;
    }
    return addresses;
}

constexpr std::array<int, SliderCount> SliderAddresses = collectSliderAddresses();

} // namespace

const std::array<Register, Count> &registers()
{
    return Table;
}

QList<int> addresses(const Values &values)
{
    QList<int> result;
    for (const auto &[address, value] : values)
        result.append(address);
    return result;
}

const Register &at(int address)
{
    return Table.at(size_t(address));
}

QString caption(int address)
{
    return QString::fromLatin1(at(address).caption);
}

const std::array<int, SliderCount> &sliderAddresses()
{
    return SliderAddresses;
}

std::optional<quint8> textToByte(const QString &text)
{
    const std::optional<int> value = hexNumber(text, 0xFF);
    return value ? std::optional<quint8>(quint8(*value)) : std::nullopt;
}

int textToSliderPosition(const QString &text)
{
    qint64 value = 0;
    for (const QChar c : text) {
        if (c == QLatin1Char(' '))
            continue;
        const int digit = hexDigitValue(c);
        if (digit < 0)
            break;
        value = qMin<qint64>(value * 16 + digit, INT_MAX);
    }
    return int(value);
}

QString sliderText(int position)
{
    return QString::number(position, 16).toUpper();
}

} // namespace RegisterMap

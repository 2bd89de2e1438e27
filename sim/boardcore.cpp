#include "boardcore.h"

namespace sim {

namespace {

constexpr int chipRegisterCount = 64;

// Power-on contents of the chip's registers. Several values print with a
// leading zero ("0A", "05") on purpose: the program must keep that digit.
constexpr std::array<quint8, chipRegisterCount> powerOnTable = {
    0x71, // 0x00 chip ID / revision
    0x00, // 0x01 sync status (read-only)
    0x00, // 0x02 sync detect status (read-only)
    0x7C, // 0x03 HSYNC slicer threshold
    0x0A, // 0x04 sync filter
    0x00, // 0x05 input select
    0x80, 0x80, 0x80, // 0x06..0x08 red, green, blue gain
    0x40, 0x40, 0x40, // 0x09..0x0B red, green, blue offset
    0x05, // 0x0C clamp placement
    0x14, // 0x0D clamp duration
    0x06, 0x98, // 0x0E..0x0F PLL Htotal (1688)
    0x10, // 0x10 phase
    0x08, 0x08, // 0x11..0x12 pre- and post-coast
    0x20, // 0x13 HSYNC output width
    0x0C, // 0x14 PLL charge pump
    0x00, // 0x15
    0x02, // 0x16 output mode
    0x00, // 0x17
    0x00, // 0x18 power-down control
    0x0F, // 0x19 test / drive strength
    0x01, // 0x1A
    0x00, 0x00, 0x00, 0x00, 0x00, // 0x1B..0x1F
    0x18, // 0x20
    // 0x21..0x3F: zero
};

constexpr char crlf[] = "\r\n";
constexpr char prompt[] = "> ";
constexpr char upperHex[] = "0123456789ABCDEF";
// What the chattering board streams: a GPS receiver's sentence, over and over.
constexpr char chatterLine[] = "$GPGGA,123519,4807.038,N,01131.000,E,1,08,0.9,545.4,M,46.9,M,,*47\r\n";

int hexValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return -1;
}

bool isWritableChipRegister(int address)
{
    // 0x01 and 0x02 report sync status; the chip ignores writes to them.
    return address >= 0 && address < chipRegisterCount && address != 0x01 && address != 0x02;
}

void appendHex(QByteArray &text, quint8 value)
{
    text.append(upperHex[value >> 4]);
    text.append(upperHex[value & 0x0F]);
}

} // namespace

using Argument = FaultName::Argument;

const std::array<FaultName, 8> faultNames = {{
    {"silent", BoardOptions::Fault::Silent, Argument::None, 0, "Fault: never send anything."},
    {"no-prompt", BoardOptions::Fault::NoPrompt, Argument::None, 0,
     "Fault: echo and execute, but never send the prompt."},
    {"stop-echo-after", BoardOptions::Fault::StopEchoAfter, Argument::Count, 0,
     "Fault: send nothing more after N received bytes."},
    {"garbage", BoardOptions::Fault::Garbage, Argument::None, 0, "Fault: answer every byte with junk."},
    {"hang-up-after", BoardOptions::Fault::HangUpAfter, Argument::Count, 1,
     "Fault: hang up and exit after N received bytes."},
    {"stuck-register", BoardOptions::Fault::StuckRegister, Argument::Register, 0,
     "Fault: chip register ADDR (hexadecimal, 0x06) keeps its value when written."},
    {"chatter", BoardOptions::Fault::Chatter, Argument::None, 0,
     "Fault: echo, then after a command send characters without end, never the prompt."},
    {"prompt-alone", BoardOptions::Fault::PromptAlone, Argument::None, 0,
     "Fault: end every reply at the prompt, without the character after it."},
}};

std::optional<int> faultArgument(const FaultName &name, const QString &text)
{
    bool ok = false;
    int value = 0;
    if (name.argument == Argument::Register) {
        const QString digits = text.startsWith(QLatin1String("0x"), Qt::CaseInsensitive) ? text.mid(2) : text;
        value = digits.toInt(&ok, 16);
        ok = ok && value < chipRegisterCount;
    } else {
        value = text.toInt(&ok, 10);
    }
    if (!ok || value < name.minimumCount)
        return std::nullopt;
    return value;
}

QStringList faultArguments(const BoardOptions &options)
{
    for (const FaultName &f : faultNames) {
        if (f.fault != options.fault)
            continue;
        QStringList arguments{QStringLiteral("--") + QLatin1String(f.option)};
        if (f.argument == Argument::Count)
            arguments.append(QString::number(options.faultAfter));
        else if (f.argument == Argument::Register)
            arguments.append(QStringLiteral("0x") + QString::number(options.faultAfter, 16));
        return arguments;
    }
    return {};
}

BoardCore::BoardCore(const BoardOptions &options)
    : m_options(options)
{
    for (int address = 0; address < chipRegisterCount; ++address)
        m_chip[address] = powerOnValue(address);
    m_hungUp = m_options.fault == BoardOptions::Fault::HangUpAfter && m_options.faultAfter <= 0;
}

QByteArray BoardCore::receive(char byte)
{
    if (m_hungUp)
        return {};
    const qint64 index = m_received++;
    const Reaction reaction = react(byte);
    const QByteArray output = shaped(reaction, byte, index);
    if (m_options.fault == BoardOptions::Fault::HangUpAfter && m_received >= m_options.faultAfter)
        m_hungUp = true;
    return output;
}

QByteArray BoardCore::chatter(int count)
{
    QByteArray stream;
    const int length = int(sizeof chatterLine) - 1;
    for (; chattering() && stream.size() < count; ++m_chatterAt)
        stream.append(chatterLine[m_chatterAt % length]);
    return stream;
}

QByteArray BoardCore::receive(const QByteArray &bytes)
{
    QByteArray output;
    for (const char byte : bytes)
        output += receive(byte);
    return output;
}

quint8 BoardCore::chipRegister(int address) const
{
    if (address < 0 || address >= chipRegisterCount)
        return 0;
    return m_chip[address];
}

void BoardCore::setChipRegister(int address, quint8 value)
{
    if (address >= 0 && address < chipRegisterCount)
        m_chip[address] = value;
}

quint8 BoardCore::fpgaRegister(int address) const
{
    return m_fpga.value(address, 0);
}

quint8 BoardCore::powerOnValue(int address)
{
    if (address < 0 || address >= chipRegisterCount)
        return 0;
    return powerOnTable[address];
}

// Applies the fault to what a healthy board would send for the byte at index.
QByteArray BoardCore::shaped(const Reaction &reaction, char byte, qint64 index)
{
    using Fault = BoardOptions::Fault;
    switch (m_options.fault) {
    case Fault::None:
    case Fault::HangUpAfter:
    case Fault::StuckRegister:
        return reaction.echo + reaction.reply;
    case Fault::Silent:
        return {};
    case Fault::NoPrompt:
        return reaction.echo;
    case Fault::PromptAlone:
        return reaction.echo + (reaction.reply.endsWith(prompt) ? reaction.reply.chopped(1) : reaction.reply);
    case Fault::StopEchoAfter:
        return index < m_options.faultAfter ? reaction.echo + reaction.reply : QByteArray();
    case Fault::Garbage:
        return QByteArray(1, junk(byte));
    case Fault::Chatter:
        // The reply to a command (not to Q, which has no prompt either) starts the stream.
        if (chattering())
            return {};
        if (byte != 'Q' && !reaction.reply.isEmpty())
            m_chatterAt = 0;
        return reaction.echo;
    }
    return {};
}

// A deterministic pseudo-random byte that is neither the prompt nor the echo.
char BoardCore::junk(char avoid)
{
    char value = 0;
    do {
        m_junkState = m_junkState * 1103515245u + 12345u;
        value = static_cast<char>((m_junkState >> 16) & 0xFF);
    } while (value == '>' || value == avoid);
    return value;
}

BoardCore::Reaction BoardCore::react(char byte)
{
    // Q brings the board back to its prompt from anywhere, without an echo.
    if (byte == 'Q') {
        m_pending = {};
        return {{}, QByteArray(crlf) + prompt};
    }
    if (m_pending.letter == 0)
        return startCommand(byte);
    return fieldByte(byte);
}

BoardCore::Reaction BoardCore::startCommand(char byte)
{
    switch (byte) {
    case 'W':
    case 'R':
    case 'Y':
    case 'X':
        // The letter itself is not echoed: the program drops its input right
        // after sending it, so a late letter echo would shift every echo.
        m_pending.letter = byte;
        return {};
    case '\r':
    case '\n':
    case ' ':
        return {};
    default:
        return reject();
    }
}

BoardCore::Reaction BoardCore::fieldByte(char byte)
{
    Pending &p = m_pending;
    const QByteArray echo(1, byte);
    switch (p.stage) {
    case Stage::Zero:
        if (byte != '0')
            return reject();
        p.stage = Stage::X;
        return {echo, {}};
    case Stage::X:
        if (byte != 'x' && byte != 'X')
            return reject();
        p.stage = Stage::Digits;
        p.digits = 0;
        p.value = 0;
        return {echo, {}};
    case Stage::Digits:
        break;
    }
    if (byte == ' ') {
        if (p.digits == 0)
            return reject();
        return {echo, endOfField()};
    }
    const int maxDigits = p.field == Field::Address ? 4 : 2;
    const int digit = hexValue(byte);
    if (digit < 0 || p.digits == maxDigits)
        return reject();
    p.value = p.value * 16 + digit;
    ++p.digits;
    return {echo, {}};
}

// Stores the finished field; carries out the command after its last field.
QByteArray BoardCore::endOfField()
{
    Pending &p = m_pending;
    p.stage = Stage::Zero;
    switch (p.field) {
    case Field::Address:
        p.address = p.value;
        p.field = Field::Count;
        return {};
    case Field::Count:
        p.count = p.value;
        p.burstForm = p.digits == 2;
        p.field = Field::Data;
        if (p.letter == 'R' || p.letter == 'X' || p.count == 0)
            return execute();
        return {};
    case Field::Data:
        p.data.append(static_cast<char>(p.value));
        if (p.data.size() == p.count)
            return execute();
        return {};
    }
    return {};
}

QByteArray BoardCore::execute()
{
    QByteArray reply;
    if (m_pending.letter == 'R' || m_pending.letter == 'X') {
        // A burst answer is the bare digits: the program reads exactly
        // 2 x count characters before the prompt.
        if (!m_pending.burstForm)
            reply += crlf;
        reply += readRegisters();
    } else {
        writeRegisters();
        reply += crlf;
    }
    reply += prompt;
    m_pending = {};
    return reply;
}

QByteArray BoardCore::readRegisters() const
{
    QByteArray digits;
    for (int i = 0; i < m_pending.count; ++i) {
        const int address = m_pending.address + i;
        appendHex(digits, m_pending.letter == 'R' ? chipRegister(address) : fpgaRegister(address & 0xFFFF));
    }
    return digits;
}

void BoardCore::writeRegisters()
{
    for (int i = 0; i < m_pending.data.size(); ++i) {
        const int address = m_pending.address + i;
        const auto value = static_cast<quint8>(m_pending.data.at(i));
        if (m_pending.letter == 'Y')
            m_fpga[address & 0xFFFF] = value;
        else if (isWritableChipRegister(address) && !isStuck(address))
            m_chip[address] = value;
    }
}

bool BoardCore::isStuck(int address) const
{
    return m_options.fault == BoardOptions::Fault::StuckRegister && address == m_options.faultAfter;
}

BoardCore::Reaction BoardCore::reject()
{
    m_pending = {};
    return {{}, QByteArray(crlf) + "?" + crlf + prompt};
}

} // namespace sim

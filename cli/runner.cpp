#include "runner.h"

#include "ports.h"
#include "wiretime.h"

#include "platform/savefile.h"
#include "link/hex.h"
#include "platform/messageboxes.h"
#include "platform/qtserialdevices.h"
#include "platform/serialport.h"

namespace {

using Command = Invocation::Command;

using RegisterMap::BurstLength;
using RegisterMap::Bursts;

// The link's failure messages in the companion's own words.
LinkTexts companionTexts()
{
    return {QStringLiteral("The board does not answer on {opened}: check the cable and the board, or choose another "
                           "port with --port N or --device PATH (kv71xx-cli ports lists them)"),
            QStringLiteral("The board's reply did not end with its prompt: reset the evaluation board and try again"),
            QStringLiteral("Choose another port with --port N or --device PATH (kv71xx-cli ports lists them).")};
}

QString registerRange(int first)
{
    return Hex_Digits(first, 2) + QStringLiteral(" to ") + Hex_Digits(first + BurstLength - 1, 2);
}

// "chip register 06", "FPGA register 0102".
QString registerName(bool fpga, int address)
{
    return fpga ? QStringLiteral("FPGA register ") + Hex_Digits(address, 4)
                : QStringLiteral("chip register ") + Hex_Digits(address, 2);
}

} // namespace

// One line on the terminal, rewritten before each exchange: the register it
// starts at and the time the exchanges still to come need at 9600 baud.
class Runner::Progress
{
public:
    Progress(QIODevice *device, int characters)
        : m_device(device)
        , m_left(characters)
    {}
    ~Progress()
    {
        if (m_device)
            m_device->write("\r\x1b[K");
    }
    Progress(const Progress &) = delete;
    Progress &operator=(const Progress &) = delete;

    void next(const char *verb, int first, int characters)
    {
        if (m_device) {
            const QString line = QStringLiteral("\r%1 register %2 of %3, %4 s left at 9600 baud\x1b[K")
                                     .arg(QLatin1String(verb))
                                     .arg(first + 1)
                                     .arg(RegisterMap::Count)
                                     .arg(WireTime::seconds(m_left), 0, 'f', 1);
            m_device->write(line.toLatin1());
        }
        m_left -= characters;
    }

private:
    QIODevice *m_device;
    int m_left;
};

Runner::Runner(const Invocation &invocation, SerialPort &port, Clock &clock, MessageBoxes &messages, QIODevice &out,
               QIODevice *progress)
    : m_invocation(invocation)
    , m_messages(messages)
    , m_out(out)
    , m_progress(progress)
    , m_clock(clock)
    , m_link(port, clock, messages, companionTexts())
{
    m_link.setPort(invocation.port);
    m_link.setDevice(invocation.device);
}

int Runner::run()
{
    switch (m_invocation.command) {
    case Command::Help:
        return print(CommandLine::helpText().toLatin1()) ? Invocation::Success : Invocation::BadInput;
    case Command::Version:
        return print("kv71xx-cli " KV71XX_VERSION "\n") ? Invocation::Success : Invocation::BadInput;
    case Command::Read:
    case Command::FpgaRead:
        return readOne();
    case Command::FpgaWrite:
        return writeOne();
    case Command::Write:
        return writeRegisters();
    case Command::Watch:
        return watch();
    case Command::Dump:
        return dump();
    case Command::Load:
        return load();
    case Command::Diff:
        return diff();
    case Command::Ports:
        return print(portList(QtSerialDevices()).toLocal8Bit()) ? Invocation::Success : Invocation::BadInput;
    }
    return Invocation::BadInput;
}

int Runner::fail(int status, const QString &message)
{
    m_messages.show(message);
    return status;
}

// Standard output is checked on every write: behind a redirection a full
// disk or a closed pipe would otherwise leave a cut-off result unnoticed.
bool Runner::print(const QByteArray &bytes)
{
    if (m_out.write(bytes) == bytes.size())
        return true;
    fail(Invocation::BadInput, QStringLiteral("Cannot write to standard output: ") + m_out.errorString());
    return false;
}

bool Runner::connect()
{
    return m_link.connectOrReport(); // names the port COMn and its device
}

int Runner::readOne()
{
    const bool fpga = m_invocation.command == Command::FpgaRead;
    const int address = m_invocation.address;
    if (!connect())
        return Invocation::LinkFailure;
    const QString reply = fpga ? m_commands.Read_FPGA(address) : m_commands.Read_KV7106(address);
    const std::optional<quint8> value = RegisterMap::textToByte(reply);
    if (!m_commands.confirmed() || !value) {
        return fail(Invocation::LinkFailure,
                    QStringLiteral("The board sent no value for ") + registerName(fpga, address));
    }
    return print((Hex_Digits(*value, 2) + QLatin1Char('\n')).toLatin1()) ? Invocation::Success : Invocation::BadInput;
}

int Runner::writeOne()
{
    const bool fpga = m_invocation.command == Command::FpgaWrite;
    const int address = m_invocation.address;
    const auto value = quint8(m_invocation.value);
    if (!connect())
        return Invocation::LinkFailure;
    if (fpga ? m_commands.Write_FPGA(address, value) : m_commands.Write_KV7106(address, value))
        return Invocation::Success;
    return fail(Invocation::LinkFailure,
                QStringLiteral("The board did not confirm writing ") + registerName(fpga, address));
}

int Runner::dump()
{
    // Opened first, so that an unwritable file costs no board exchange; a
    // regular file appears only once it is complete.
    SaveFile file(m_invocation.file);
    const bool toFile = !m_invocation.file.isEmpty();
    if (toFile && !file.open())
        return fail(Invocation::BadInput,
                    QStringLiteral("Cannot write %1: %2").arg(m_invocation.file, file.errorString()));
    if (!connect())
        return Invocation::LinkFailure;
    Progress progress(m_progress, Bursts * WireTime::burstReadCharacters(BurstLength));
    const std::optional<Values> chip = readAll(progress);
    if (!chip)
        return Invocation::LinkFailure;

    RegisterFile::Texts texts;
    for (int k = 0; k < RegisterMap::Count; ++k)
        texts.at(size_t(k)) = Hex_Digits(chip->at(size_t(k)), 2);
    const QByteArray bytes = RegisterFile::format(texts);
    if (!toFile)
        return print(bytes) ? Invocation::Success : Invocation::BadInput;
    if (!file.write(bytes) || !file.commit())
        return fail(Invocation::BadInput,
                    QStringLiteral("Cannot write %1: %2").arg(m_invocation.file, file.errorString()));
    return Invocation::Success;
}

int Runner::load()
{
    const std::optional<Values> values = fileValues();
    if (!values)
        return Invocation::BadInput;
    if (!connect())
        return Invocation::LinkFailure;
    const bool burst = m_invocation.burst;
    const bool verify = m_invocation.verify;
    const int characters = (burst ? Bursts * WireTime::burstWriteCharacters(BurstLength)
                                  : RegisterMap::Count * WireTime::writeCharacters())
        + (verify ? Bursts * WireTime::burstReadCharacters(BurstLength) : 0);
    Progress progress(m_progress, characters);
    if (!(burst ? writeBursts(*values, progress) : writeAll(*values, progress)))
        return Invocation::LinkFailure;
    if (!verify)
        return Invocation::Success;
    const std::optional<Values> chip = readAll(progress);
    return chip ? compare(*values, *chip, QStringLiteral("wrote")) : Invocation::LinkFailure;
}

int Runner::diff()
{
    const std::optional<Values> values = fileValues();
    if (!values)
        return Invocation::BadInput;
    if (!connect())
        return Invocation::LinkFailure;
    Progress progress(m_progress, Bursts * WireTime::burstReadCharacters(BurstLength));
    const std::optional<Values> chip = readAll(progress);
    return chip ? compare(*values, *chip, QStringLiteral("file")) : Invocation::LinkFailure;
}

std::optional<Runner::Values> Runner::fileValues()
{
    const QString &path = m_invocation.file;
    const RegisterFile::Contents contents = RegisterFile::read(path);
    if (!contents.error.isEmpty()) {
        fail(Invocation::BadInput, contents.error);
        return std::nullopt;
    }
    if (contents.lines.size() < RegisterMap::Count) {
        fail(Invocation::BadInput,
             QStringLiteral("%1: %2 lines, where a register file has %3")
                 .arg(path)
                 .arg(contents.lines.size())
                 .arg(RegisterMap::Count));
        return std::nullopt;
    }
    Values values{};
    for (int k = 0; k < RegisterMap::Count; ++k) {
        const QString &line = contents.lines.at(k);
        const std::optional<QString> text = RegisterFile::valueOf(line);
        const std::optional<quint8> value = text ? RegisterMap::textToByte(*text) : std::nullopt;
        if (!value) {
            fail(Invocation::BadInput,
                 QStringLiteral("%1:%2: no register value in \"%3\"").arg(path).arg(k + 1).arg(line.left(80)));
            return std::nullopt;
        }
        values.at(size_t(k)) = *value;
    }
    return values;
}

std::optional<Runner::Values> Runner::readAll(Progress &progress)
{
    Values values{};
    for (int first = 0; first < RegisterMap::Count; first += BurstLength) {
        progress.next("reading", first, WireTime::burstReadCharacters(BurstLength));
        const QString data = m_commands.Read_KV7106_Burst(first, BurstLength);
        if (!m_commands.confirmed()) {
            fail(Invocation::LinkFailure,
                 QStringLiteral("The board did not send registers %1").arg(registerRange(first)));
            return std::nullopt;
        }
        for (int i = 0; i < BurstLength; ++i) {
            const std::optional<quint8> value = RegisterMap::textToByte(data.mid(2 * i, 2));
            if (!value) {
                fail(Invocation::LinkFailure,
                     QStringLiteral("The board sent \"%1\" for registers %2").arg(data, registerRange(first)));
                return std::nullopt;
            }
            values.at(size_t(first + i)) = *value;
        }
    }
    return values;
}

bool Runner::writeAll(const Values &values, Progress &progress)
{
    for (int k = 0; k < RegisterMap::Count; ++k) {
        progress.next("writing", k, WireTime::writeCharacters());
        if (!m_commands.Write_KV7106(k, values.at(size_t(k)))) {
            fail(Invocation::LinkFailure,
                 QStringLiteral("The board did not confirm writing register %1; "
                                "the registers after it were not written")
                     .arg(Hex_Digits(k, 2)));
            return false;
        }
    }
    return true;
}

bool Runner::writeBursts(const Values &values, Progress &progress)
{
    for (int first = 0; first < RegisterMap::Count; first += BurstLength) {
        QString digits;
        for (int i = 0; i < BurstLength; ++i)
            digits += Hex_Digits(values.at(size_t(first + i)), 2);
        progress.next("writing", first, WireTime::burstWriteCharacters(BurstLength));
        if (!m_commands.Write_KV7106_Burst(first, BurstLength, digits)) {
            fail(Invocation::LinkFailure,
                 QStringLiteral("The board did not confirm writing registers %1; "
                                "the registers after them were not written")
                     .arg(registerRange(first)));
            return false;
        }
    }
    return true;
}

int Runner::compare(const Values &expected, const Values &chip, const QString &expectedName)
{
    int status = Invocation::Success;
    QStringList notCompared;
    for (int k = 0; k < RegisterMap::Count; ++k) {
        const auto i = size_t(k);
        if (expected.at(i) == chip.at(i))
            continue;
        const QString line = QStringLiteral("%1 %2: %3 %4, chip %5")
                                 .arg(Hex_Digits(k, 2), RegisterMap::caption(k).trimmed(), expectedName,
                                      Hex_Digits(expected.at(i), 2), Hex_Digits(chip.at(i), 2));
        if (RegisterMap::isChipOwned(k)) {
            notCompared.append(line);
            continue;
        }
        status = Invocation::Differs;
        if (!print(line.toLatin1() + '\n'))
            return Invocation::BadInput;
    }
    // Named, so that a difference left out is not taken for none.
    if (!notCompared.isEmpty())
        m_messages.show(QStringLiteral("Not compared, as the chip sets them: ")
                        + notCompared.join(QStringLiteral("; ")));
    return status;
}

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
using One = RegisterEngine::One;
using Run = RegisterEngine::Run;

// The link's failure messages in the companion's own words.
LinkTexts companionTexts()
{
    return {QStringLiteral("The board does not answer on {opened}: check the cable and the board, or choose another "
                           "port with --port N or --device PATH (kv71xx-cli ports lists them)"),
            QStringLiteral("The board's reply did not end with its prompt: reset the evaluation board and try again"),
            QStringLiteral("Choose another port with --port N or --device PATH (kv71xx-cli ports lists them).")};
}

// What an exchange of a run costs on the line.
int characters(const Run &run, bool write, One one)
{
    if (!write)
        return WireTime::burstReadCharacters(run.length);
    return run.length == 1 && one == One::Command ? WireTime::writeCharacters()
                                                  : WireTime::burstWriteCharacters(run.length);
}

int characters(const QList<Run> &runs, bool write, One one = One::Burst)
{
    int sum = 0;
    for (const Run &run : runs)
        sum += characters(run, write, one);
    return sum;
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

// The companion's side of a long operation: the progress line moves before
// each exchange, and the first one that fails ends it.
class Runner::Exchanges : public RegisterEngine::Steps
{
public:
    Exchanges(Progress *progress, bool write, One one)
        : m_progress(progress)
        , m_write(write)
        , m_one(one)
    {}

    bool next(const Run &run) override
    {
        if (failed)
            return false;
        if (m_progress)
            m_progress->next(m_write ? "writing" : "reading", run.first, characters(run, m_write, m_one));
        return true;
    }
    void written(const Run &, bool confirmed) override { fail(!confirmed); }
    void read(const RegisterEngine::Block &block) override
    {
        bool bytes = block.read;
        for (int address = block.run.first; bytes && address < block.run.first + block.run.length; ++address)
            bytes = block.valueOf(address).has_value();
        fail(!bytes);
    }

    std::optional<int> failed; // the index of the run that failed
    int done = 0;

private:
    void fail(bool failing)
    {
        if (failing)
            failed = done;
        ++done;
    }

    Progress *m_progress;
    const bool m_write;
    const One m_one;
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
    const QList<Run> runs = RegisterEngine::wholeChip();
    Progress progress(m_progress, characters(runs, false));
    const std::optional<Values> chip = readRuns(runs, &progress);
    if (!chip)
        return Invocation::LinkFailure;

    RegisterFile::Texts texts;
    for (int k = 0; k < RegisterMap::Count; ++k)
        texts.at(size_t(k)) = Hex_Digits(chip->at(k), 2);
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
    // One write per register, or the whole chip's bursts.
    const One one = m_invocation.burst ? One::Burst : One::Command;
    const QList<int> addresses = RegisterMap::addresses(*values);
    const QList<Run> writes = m_invocation.burst ? RegisterEngine::wholeChip() : RegisterEngine::runs(addresses, 1);
    const QList<Run> reads = m_invocation.verify ? RegisterEngine::wholeChip() : QList<Run>();
    Progress progress(m_progress, characters(writes, true, one) + characters(reads, false));
    QList<quint8> bytes;
    for (const int address : addresses)
        bytes.append(values->at(address));
    if (const std::optional<int> failed = writeRuns(writes, bytes, one, &progress)) {
        const Run &run = writes.at(*failed);
        return fail(Invocation::LinkFailure,
                    QStringLiteral("The board did not confirm writing ") + runName(run) + notWrittenAfter(run));
    }
    if (!m_invocation.verify)
        return Invocation::Success;
    const std::optional<Values> chip = readRuns(reads, &progress);
    return chip ? compare(*values, *chip, QStringLiteral("wrote")) : Invocation::LinkFailure;
}

int Runner::diff()
{
    const std::optional<Values> values = fileValues();
    if (!values)
        return Invocation::BadInput;
    if (!connect())
        return Invocation::LinkFailure;
    const QList<Run> runs = RegisterEngine::wholeChip();
    Progress progress(m_progress, characters(runs, false));
    const std::optional<Values> chip = readRuns(runs, &progress);
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
    // Load reads the first 64 lines; what follows is named, never taken.
    if (contents.lines.size() > RegisterMap::Count)
        m_messages.show(QStringLiteral("%1: lines after the %2th ignored: %3")
                            .arg(path)
                            .arg(RegisterMap::Count)
                            .arg(contents.lines.size() - RegisterMap::Count));
    const RegisterFile::FileValues file = RegisterFile::values(contents.lines);
    if (!file.skipped.isEmpty()) {
        const int k = file.skipped.constFirst();
        fail(Invocation::BadInput,
             QStringLiteral("%1:%2: no register value in \"%3\"")
                 .arg(path)
                 .arg(k + 1)
                 .arg(contents.lines.at(k).left(80)));
        return std::nullopt;
    }
    return file.values;
}

std::optional<Runner::Values> Runner::readRuns(const QList<Run> &runs, Progress *progress)
{
    Exchanges exchanges(progress, false, One::Burst);
    const QList<RegisterEngine::Block> blocks = m_engine.read(runs, One::Burst, exchanges);
    if (exchanges.failed) {
        const RegisterEngine::Block &block = blocks.constLast();
        fail(Invocation::LinkFailure,
             block.read ? QStringLiteral("The board sent \"%1\" for %2").arg(block.text, runName(block.run))
                        : QStringLiteral("The board did not send ") + runName(block.run));
        return std::nullopt;
    }
    Values values;
    for (const RegisterEngine::Block &block : blocks) {
        for (int address = block.run.first; address < block.run.first + block.run.length; ++address)
            values[address] = *block.valueOf(address);
    }
    return values;
}

// A single register is a burst of one too: its 29 characters on the wire are
// what a one-register read moves.
std::optional<Runner::Values> Runner::readRegisters(const QList<int> &addresses)
{
    return readRuns(RegisterEngine::runs(addresses));
}

std::optional<int> Runner::writeRuns(const QList<Run> &runs, const QList<quint8> &values, One one, Progress *progress)
{
    Exchanges exchanges(progress, true, one);
    m_engine.write(runs, values, one, exchanges);
    return exchanges.failed;
}

int Runner::compare(const Values &expected, const Values &chip, const QString &expectedName)
{
    const RegisterEngine::Differences differ = RegisterEngine::differences(expected, chip);
    const auto line = [&](int k) {
        return QStringLiteral("%1 %2: %3 %4, chip %5")
            .arg(Hex_Digits(k, 2), RegisterMap::caption(k).trimmed(), expectedName, Hex_Digits(expected.at(k), 2),
                 Hex_Digits(chip.at(k), 2));
    };
    for (const int k : differ.compared) {
        if (!print(line(k).toLatin1() + '\n'))
            return Invocation::BadInput;
    }
    // Named, so that a difference left out is not taken for none.
    QStringList notCompared;
    for (const int k : differ.chipOwned)
        notCompared.append(line(k));
    if (!notCompared.isEmpty())
        m_messages.show(QStringLiteral("Not compared, as the chip sets them: ")
                        + notCompared.join(QStringLiteral("; ")));
    return differ.compared.isEmpty() ? Invocation::Success : Invocation::Differs;
}

QString Runner::runName(const Run &run)
{
    if (run.length == 1)
        return QStringLiteral("register ") + Hex_Digits(run.first, 2);
    return QStringLiteral("registers %1 to %2")
        .arg(Hex_Digits(run.first, 2), Hex_Digits(run.first + run.length - 1, 2));
}

QString Runner::notWrittenAfter(const Run &run)
{
    return QStringLiteral("; the registers after %1 were not written")
        .arg(run.length == 1 ? QStringLiteral("it") : QStringLiteral("them"));
}

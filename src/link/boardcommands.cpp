#include "boardcommands.h"

#include "boardlink.h"

namespace {

QString addressField(int address)
{
    return QStringLiteral("0x") + Hex_Digits(address, BoardCommands::AddressDigits);
}

QString burstHeader(int address, int length)
{
    return addressField(address) + QStringLiteral(" 0x") + Hex_Digits(length, BoardCommands::CountDigits)
        + QLatin1Char(' ');
}

QString dataField(const QString &digits)
{
    return QStringLiteral("0x") + digits + QLatin1Char(' ');
}

} // namespace

BoardCommands::BoardCommands(BoardLink &link)
    : m_link(link)
{}

QString BoardCommands::Read_Until_Prompt()
{
    // Each character's wait is bounded, and so is the whole reply: a port that
    // keeps talking without a prompt (a console, a GPS receiver) ends here.
    const double deadline = m_link.seconds() + BoardLink::ReplyTimeLimit;
    QString last;
    for (int before = 0;; ++before) {
        if (before > BoardLink::LongestReply - 2 || m_link.seconds() >= deadline) {
            m_link.failReply();
            return QString();
        }
        const QString c = m_link.Get_Prompt_Character();
        if (c == QLatin1Char(BoardLink::Prompt))
            break;
        last = (last + c).right(2);
    }
    m_link.Get_Prompt_Character(); // the character after the prompt
    return last;
}

bool BoardCommands::begin(char letter)
{
    m_failuresBefore = m_link.failures();
    m_confirmed = false;
    return m_link.sendLetter(letter);
}

bool BoardCommands::finish()
{
    m_confirmed = m_link.failures() == m_failuresBefore;
    m_link.endCommand();
    return m_confirmed;
}

bool BoardCommands::writeOne(char letter, int address, quint8 value)
{
    const QString fields = addressField(address) + QStringLiteral(" 0x1 ") + dataField(Hex_Digits(value, ValueDigits));
    if (begin(letter)) {
        m_link.Send_Serial_Echo(fields);
        Read_Until_Prompt();
        finish();
    }
    return told(letter == 'Y' ? WriteObserver::Target::Fpga : WriteObserver::Target::Chip, address,
                Hex_Digits(value, ValueDigits));
}

bool BoardCommands::Write_KV7106(int address, quint8 value)
{
    return writeOne('W', address, value);
}

bool BoardCommands::Write_FPGA(int address, quint8 value)
{
    return writeOne('Y', address, value);
}

bool BoardCommands::Write_KV7106_Burst(int address, int length, const QString &values)
{
    const QString header = burstHeader(address, length);
    if (begin('W')) {
        m_link.Send_Serial_Echo(header);
        for (int i = 0; i < 2 * length; i += 2)
            m_link.Send_Serial_Echo(dataField(values.mid(i, 2)));
        Read_Until_Prompt();
        finish();
    }
    return told(WriteObserver::Target::Chip, address, values.left(2 * length));
}

bool BoardCommands::told(WriteObserver::Target target, int address, const QString &values)
{
    if (m_observer)
        m_observer->written({target, address, values, m_confirmed});
    return m_confirmed;
}

QString BoardCommands::readOne(char letter, int address)
{
    // Sending on a closed port would fail; there is nothing to read either.
    if (!begin(letter))
        return QString();
    m_link.discardInput();
    m_link.Send_Serial_Echo(addressField(address) + QStringLiteral(" 0x1 "));
    const QString result = Read_Until_Prompt();
    m_link.discardInput();
    finish();
    return result;
}

QString BoardCommands::Read_KV7106(int address)
{
    return readOne('R', address);
}

QString BoardCommands::Read_FPGA(int address)
{
    return readOne('X', address);
}

bool BoardCommands::sendLine(const QString &line)
{
    m_confirmed = false;
    if (line.isEmpty() || !begin(line.at(0).toLatin1()))
        return false;
    // A lone letter may be answered at once (Q, or one the board refuses);
    // the discard that opens the echo-paced part would drop that answer.
    if (line.size() > 1)
        m_link.Send_Serial_Echo(line.mid(1));
    Read_Until_Prompt();
    return finish();
}

QString BoardCommands::Read_KV7106_Burst(int address, int length)
{
    QString result = QStringLiteral("00");
    const QString header = burstHeader(address, length);
    if (!begin('R'))
        return result;
    m_link.discardInput();
    m_link.Send_Serial_Echo(header);
    if (m_link.Wait_Serial_Input(2 * length))
        result = m_link.take(2 * length);
    // The prompt and the character after it. Data counts only with the prompt
    // after it: a port that keeps talking fills any count of characters.
    if (m_link.Wait_Serial_Input(2) && m_link.take(1) != QLatin1Char(BoardLink::Prompt))
        m_link.failReply();
    m_link.discardInput();
    finish();
    return result;
}

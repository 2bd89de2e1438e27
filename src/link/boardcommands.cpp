#include "boardcommands.h"

#include "boardlink.h"

namespace {

QString addressField(int address)
{
    return QStringLiteral("0x") + Hex_Digits(address, 4);
}

QString burstHeader(int address, int length)
{
    return addressField(address) + QStringLiteral(" 0x") + Hex_Digits(length, 2) + QLatin1Char(' ');
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
    QString last;
    for (;;) {
        const QString c = m_link.Get_Prompt_Character();
        if (c == QLatin1Char(BoardLink::Prompt))
            break;
        last = (last + c).right(2);
    }
    m_link.Get_Prompt_Character(); // the character after the prompt
    return last;
}

void BoardCommands::writeOne(char letter, int address, quint8 value)
{
    const QString fields = addressField(address) + QStringLiteral(" 0x1 ")
                           + dataField(Hex_Digits(value, 2));
    if (!m_link.isOpen())
        return;
    m_link.sendLetter(letter);
    m_link.Send_Serial_Echo(fields);
    Read_Until_Prompt();
}

void BoardCommands::Write_KV7106(int address, quint8 value)
{
    writeOne('W', address, value);
}

void BoardCommands::Write_FPGA(int address, quint8 value)
{
    writeOne('Y', address, value);
}

void BoardCommands::Write_KV7106_Burst(int address, int length, const QString &values)
{
    const QString header = burstHeader(address, length);
    if (!m_link.isOpen())
        return;
    m_link.sendLetter('W');
    m_link.Send_Serial_Echo(header);
    for (int i = 0; i < 2 * length; i += 2)
        m_link.Send_Serial_Echo(dataField(values.mid(i, 2)));
    Read_Until_Prompt();
}

QString BoardCommands::readOne(char letter, int address)
{
    // Sending on a closed port would fail; there is nothing to read either.
    if (!m_link.isOpen())
        return QString();
    m_link.sendLetter(letter);
    m_link.discardInput();
    m_link.Send_Serial_Echo(addressField(address) + QStringLiteral(" 0x1 "));
    const QString result = Read_Until_Prompt();
    m_link.discardInput();
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

QString BoardCommands::Read_KV7106_Burst(int address, int length)
{
    QString result = QStringLiteral("00");
    const QString header = burstHeader(address, length);
    if (!m_link.isOpen())
        return result;
    m_link.sendLetter('R');
    m_link.discardInput();
    m_link.Send_Serial_Echo(header);
    if (m_link.Wait_Serial_Input(2 * length))
        result = m_link.take(2 * length);
    m_link.Wait_Serial_Input(2); // the prompt and the character after it
    m_link.discardInput();
    return result;
}

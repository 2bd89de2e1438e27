#include "singleregister.h"

#include "commandlock.h"
#include "hexinput.h"
#include "registerboxes.h"
#include "registermap.h"
#include "link/boardcommands.h"
#include "link/boardlink.h"
#include "platform/messageboxes.h"

#include <QLineEdit>

SingleRegister::SingleRegister(QLineEdit *address, QLineEdit *data, RegisterBoxes &boxes, BoardLink &link,
                               BoardCommands &commands, CommandLock &lock, MessageBoxes &messages, QObject *parent)
    : QObject(parent)
    , m_address(address)
    , m_data(data)
    , m_boxes(boxes)
    , m_link(link)
    , m_commands(commands)
    , m_lock(lock)
    , m_messages(messages)
{}

// Nothing is sent for a field that is not a byte; the user is told which.
bool SingleRegister::byteOf(const QLineEdit *field, const char *name, int *value)
{
    const std::optional<quint8> byte = RegisterMap::textToByte(field->text());
    if (byte) {
        *value = *byte;
        return true;
    }
    m_messages.show(QStringLiteral("The %1 box must hold a hexadecimal byte, 00 to FF.").arg(QLatin1String(name)));
    return false;
}

void SingleRegister::ReadRegCommand_Click()
{
    if (m_lock.busy())
        return;
    const CommandLock::Hold hold(m_lock);
    int address = 0;
    if (!byteOf(m_address, "Address", &address) || !m_link.connectOrReport())
        return;
    const QString value = m_commands.Read_KV7106(address);
    const QString where = Hex_Digits(address, 2);
    // A reply that did not arrive leaves Data as it was.
    if (!m_commands.confirmed()) {
        emit status(tr("Read %1: the board did not answer; Data is unchanged.").arg(where));
        return;
    }
    HexInput::setProgramText(m_data, QString());
    HexInput::setProgramText(m_data, value);
    emit status(tr("Read %1: %2").arg(where, value));
}

void SingleRegister::WriteRegCommand_Click()
{
    if (m_lock.busy())
        return;
    const CommandLock::Hold hold(m_lock);
    int value = 0;
    int address = 0;
    if (!byteOf(m_data, "Data", &value) || !byteOf(m_address, "Address", &address))
        return;
    // No link reset: the write uses the port as it finds it.
    bool written = m_commands.Write_KV7106(address, quint8(value));
    // Addresses beyond the register map have no box to update. A box that
    // changes writes the register again, after its own link reset.
    if (address < RegisterMap::Count && m_boxes.text(address) != m_data->text()) {
        m_boxes.setText(address, m_data->text());
        written = m_boxes.mark(address) == RegisterBoxes::Mark::None;
    }
    const QString what = tr("Write %1 := %2").arg(Hex_Digits(address, 2), Hex_Digits(value, 2));
    emit status(written ? what : what + tr(": not confirmed by the board."));
}

#include "singleregister.h"

#include "readall.h"
#include "registerboxes.h"
#include "registermap.h"
#include "../app/messageboxes.h"
#include "../link/boardcommands.h"
#include "../link/boardlink.h"

#include <QLineEdit>

SingleRegister::SingleRegister(QLineEdit *address, QLineEdit *data, RegisterBoxes &boxes,
                               BoardLink &link, BoardCommands &commands, CommandLock &lock,
                               MessageBoxes &messages)
    : m_address(address)
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
    m_messages.show(QStringLiteral("The %1 box must hold a hexadecimal byte, 00 to FF.")
                        .arg(QLatin1String(name)),
                    programTitle(), MessageBoxes::Icon::None);
    return false;
}

void SingleRegister::ReadRegCommand_Click()
{
    m_lock.DisableRegisterCommands();
    int address = 0;
    if (byteOf(m_address, "Address", &address) && m_link.connectOrReport()) {
        m_data->clear();
        m_data->setText(m_commands.Read_KV7106(address));
    }
    m_lock.EnableRegisterCommands();
}

void SingleRegister::WriteRegCommand_Click()
{
    m_lock.DisableRegisterCommands();
    int value = 0;
    int address = 0;
    if (byteOf(m_data, "Data", &value) && byteOf(m_address, "Address", &address)) {
        // No link reset: the write uses the port as it finds it.
        m_commands.Write_KV7106(address, quint8(value));
        // Addresses beyond the register map have no box to update.
        if (address < RegisterMap::Count)
            m_boxes.setText(address, m_data->text());
    }
    m_lock.EnableRegisterCommands();
}

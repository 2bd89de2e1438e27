#include "singleregister.h"

#include "hexinput.h"
#include "registerboxes.h"
#include "registermap.h"
#include "commands/commandlock.h"
#include "link/boardcommands.h"
#include "link/boardlink.h"
#include "platform/messageboxes.h"

#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

SingleRegister::SingleRegister(QWidget *page, RegisterBoxes &boxes, BoardLink &link, BoardCommands &commands,
                               CommandLock &lock, MessageBoxes &messages, QObject *parent)
    : QObject(parent)
    , m_boxes(boxes)
    , m_link(link)
    , m_commands(commands)
    , m_lock(lock)
    , m_messages(messages)
{
    build(page);
    connect(m_readReg, &QPushButton::clicked, this, &SingleRegister::ReadRegCommand_Click);
    connect(m_writeReg, &QPushButton::clicked, this, &SingleRegister::WriteRegCommand_Click);
}

// Read at the left, the two boxes under their caption, Write at the right.
void SingleRegister::build(QWidget *page)
{
    auto *group = new QGroupBox(QStringLiteral("Individual Register Read/Write"), page);
    group->setObjectName(QStringLiteral("Frame3"));
    group->setGeometry(140, 290, 210, 80);
    auto *caption = new QLabel(QStringLiteral("Address      Data "), group);
    caption->setGeometry(62, 20, 100, 16);
    m_readReg = new QPushButton(QStringLiteral("Read"), group);
    m_readReg->setObjectName(QStringLiteral("ReadRegCommand"));
    m_readReg->setGeometry(8, 38, 48, 26);
    m_address = new QLineEdit(QStringLiteral("00"), group);
    m_address->setObjectName(QStringLiteral("Address"));
    m_address->setAccessibleName(QStringLiteral("Address"));
    m_address->setGeometry(62, 40, 32, 22);
    m_data = new QLineEdit(group);
    m_data->setObjectName(QStringLiteral("Data"));
    m_data->setAccessibleName(QStringLiteral("Data"));
    m_data->setGeometry(100, 40, 50, 22);
    m_writeReg = new QPushButton(QStringLiteral("Write"), group);
    m_writeReg->setObjectName(QStringLiteral("WriteRegCommand"));
    m_writeReg->setGeometry(156, 38, 48, 26);
    HexInput::attach(m_address, 2);
    HexInput::attach(m_data);
}

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
    if (const auto hold = m_lock.tryHold(tr("Read")))
        read();
}

void SingleRegister::WriteRegCommand_Click()
{
    if (const auto hold = m_lock.tryHold(tr("Write")))
        write();
}

void SingleRegister::read()
{
    int address = 0;
    if (!byteOf(m_address, "Address", &address))
        return;
    const QString where = Hex_Digits(address, 2);
    if (!m_link.connectOrReport()) {
        emit status(tr("Read %1: the port could not be opened; Data is unchanged.").arg(where));
        return;
    }
    const QString value = m_commands.Read_KV7106(address);
    // A reply that did not arrive leaves Data as it was.
    if (!m_commands.confirmed()) {
        emit status(tr("Read %1: the board did not answer; Data is unchanged.").arg(where));
        return;
    }
    HexInput::setProgramText(m_data, QString());
    HexInput::setProgramText(m_data, value);
    emit status(tr("Read %1: %2").arg(where, value));
}

void SingleRegister::write()
{
    int value = 0;
    int address = 0;
    if (!byteOf(m_data, "Data", &value) || !byteOf(m_address, "Address", &address))
        return;
    // No link reset: the write uses the port as it finds it.
    bool written = m_commands.Write_KV7106(address, quint8(value));
    // Addresses beyond the register map have no box to update. A box that
    // changes writes the register again, after its own link reset.
    if (address < RegisterMap::Count && m_boxes.text(address) != m_data->text())
        written = m_boxes.setText(address, m_data->text());
    const QString what = tr("Write %1 := %2").arg(Hex_Digits(address, 2), Hex_Digits(value, 2));
    emit status(written ? what : what + tr(": not confirmed by the board."));
}

#pragma once

#include <QObject>

class BoardCommands;
class BoardLink;
class CommandLock;
class MessageBoxes;
class QLineEdit;
class RegisterBoxes;

// The "Individual Register Read/Write" frame: one chip register by address,
// independently of the register boxes.
class SingleRegister : public QObject
{
    Q_OBJECT

public:
    SingleRegister(QLineEdit *address, QLineEdit *data, RegisterBoxes &boxes, BoardLink &link, BoardCommands &commands,
                   CommandLock &lock, MessageBoxes &messages, QObject *parent = nullptr);

    void ReadRegCommand_Click();
    void WriteRegCommand_Click();

signals:
    // How it went, for the window's status line.
    void status(const QString &text);

private:
    bool byteOf(const QLineEdit *field, const char *name, int *value);

    QLineEdit *m_address;
    QLineEdit *m_data;
    RegisterBoxes &m_boxes;
    BoardLink &m_link;
    BoardCommands &m_commands;
    CommandLock &m_lock;
    MessageBoxes &m_messages;
};

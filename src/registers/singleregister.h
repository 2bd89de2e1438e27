#pragma once

#include <QObject>

class BoardCommands;
class BoardLink;
class CommandLock;
class MessageBoxes;
class QLineEdit;
class QPushButton;
class QWidget;
class RegisterBoxes;

// The "Individual Register Read/Write" frame: one chip register by address,
// independently of the register boxes.
class SingleRegister : public QObject
{
    Q_OBJECT

public:
    // Builds the frame Frame3 with its boxes and buttons on page.
    SingleRegister(QWidget *page, RegisterBoxes &boxes, BoardLink &link, BoardCommands &commands, CommandLock &lock,
                   MessageBoxes &messages, QObject *parent = nullptr);

    QPushButton *ReadRegCommand() const { return m_readReg; }
    QPushButton *WriteRegCommand() const { return m_writeReg; }

    // Both are refused while another command or a box change runs.
    void ReadRegCommand_Click();
    void WriteRegCommand_Click();

signals:
    // How it went, for the window's status line.
    void status(const QString &text);

private:
    void build(QWidget *page);
    void read();
    void write();
    bool byteOf(const QLineEdit *field, const char *name, int *value);

    QLineEdit *m_address = nullptr;
    QLineEdit *m_data = nullptr;
    QPushButton *m_readReg = nullptr;
    QPushButton *m_writeReg = nullptr;
    RegisterBoxes &m_boxes;
    BoardLink &m_link;
    BoardCommands &m_commands;
    CommandLock &m_lock;
    MessageBoxes &m_messages;
};

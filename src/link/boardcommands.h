#pragma once

#include "hex.h"
#include "writeobserver.h"

#include <QString>

class BoardLink;

// The board's command lines: a letter, then fields each closed by one space,
// sent echo-paced; replies end with ">" and one more character.
class BoardCommands
{
public:
    // The parts of a command line after its letter, in characters: the
    // address "0x0012", the count " 0x1 " of one register or " 0x10 " of a
    // burst, and each value "0x3F ".
    static constexpr int AddressDigits = 4;
    static constexpr int CountDigits = 2;
    static constexpr int ValueDigits = 2;
    static constexpr int AddressField = 2 + AddressDigits;
    static constexpr int OneCountField = 5;
    static constexpr int BurstCountField = 4 + CountDigits;
    static constexpr int DataField = 3 + ValueDigits;
    // What ends every reply: the prompt and one more character.
    static constexpr int ReplyEnd = 2;

    explicit BoardCommands(BoardLink &link);

    QString Read_Until_Prompt();

    // The writes return confirmed().
    bool Write_KV7106(int address, quint8 value);
    bool Write_FPGA(int address, quint8 value);
    bool Write_KV7106_Burst(int address, int length, const QString &values);
    QString Read_KV7106(int address);
    QString Read_KV7106_Burst(int address, int length);
    QString Read_FPGA(int address);
    // A command line as typed: its first character goes out as the letter,
    // the rest echo-paced, and the reply is read up to the prompt. Returns
    // confirmed().
    bool sendLine(const QString &line);

    // Whether the last command went through: the port was open and every
    // character it waited for arrived (for a burst read, its data). A read
    // that was not confirmed returns no value the board sent.
    bool confirmed() const { return m_confirmed; }

    // Told of every write while set; nullptr for none.
    void setWriteObserver(WriteObserver *observer) { m_observer = observer; }

private:
    bool writeOne(char letter, int address, quint8 value);
    QString readOne(char letter, int address);
    // Starts a command's exchange; false, and nothing sent, on a closed port.
    bool begin(char letter);
    bool finish();
    // Tells the observer of a write that has ended; returns confirmed().
    bool told(WriteObserver::Target target, int address, const QString &values);

    BoardLink &m_link;
    bool m_confirmed = false;
    int m_failuresBefore = 0;
    WriteObserver *m_observer = nullptr;
};

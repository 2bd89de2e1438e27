#pragma once

#include "hex.h"

#include <QString>

class BoardLink;

// The board's command lines: a letter, then fields each closed by one space,
// sent echo-paced; replies end with ">" and one more character.
class BoardCommands
{
public:
    explicit BoardCommands(BoardLink &link);

    QString Read_Until_Prompt();

    void Write_KV7106(int address, quint8 value);
    void Write_FPGA(int address, quint8 value);
    void Write_KV7106_Burst(int address, int length, const QString &values);
    QString Read_KV7106(int address);
    QString Read_KV7106_Burst(int address, int length);
    QString Read_FPGA(int address);

private:
    void writeOne(char letter, int address, quint8 value);
    QString readOne(char letter, int address);

    BoardLink &m_link;
};

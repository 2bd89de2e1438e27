#pragma once

#include <QByteArray>
#include <QMap>
#include <QStringList>

#include <array>
#include <optional>

namespace sim {

// What the simulated board does wrong, for tests of the program's failure paths.
struct BoardOptions
{
    enum class Fault {
        None,
        Silent, // never sends anything
        NoPrompt, // echoes, carries out commands, but never sends ">"
        StopEchoAfter, // sends nothing more once faultAfter bytes were received
        Garbage, // answers every byte with junk instead of echo and replies
        HangUpAfter, // hangs up once faultAfter bytes were received
        StuckRegister, // a healthy board whose chip register faultAfter ignores writes
        Chatter, // echoes, then after a command streams characters for ever, never a prompt
        PromptAlone // ends every reply at its prompt, without the character after it
    };
    Fault fault = Fault::None;
    int faultAfter = 0; // the count of the "after" faults; the register of StuckRegister
};

// The faults as kv71xx-board's command line names them ("--silent",
// "--stop-echo-after N", "--stuck-register 0x06"): the one table both the
// board and its callers use.
struct FaultName
{
    // What follows the option: nothing, a decimal count or a chip register
    // address in hexadecimal.
    enum class Argument { None, Count, Register };

    const char *option;
    BoardOptions::Fault fault;
    Argument argument;
    int minimumCount;
    const char *help;
};
extern const std::array<FaultName, 8> faultNames;
// The fault's argument as the command line gives it; nothing when it is invalid.
std::optional<int> faultArgument(const FaultName &name, const QString &text);
// The command-line arguments that give a board these options.
QStringList faultArguments(const BoardOptions &options);

// The evaluation board's controller with its FPGA registers and the chip's 64
// registers. Bytes go in one at a time; each call returns what the board sends
// in answer, in order. Transport and timing are the caller's.
class BoardCore
{
public:
    explicit BoardCore(const BoardOptions &options = {});

    QByteArray receive(char byte);
    QByteArray receive(const QByteArray &bytes);

    bool hungUp() const { return m_hungUp; }
    // Whether the chattering board has begun its stream; from then on it
    // ignores what it receives.
    bool chattering() const { return m_chatterAt >= 0; }
    // The next count characters of the stream (nothing before it begins).
    QByteArray chatter(int count);

    quint8 chipRegister(int address) const;
    void setChipRegister(int address, quint8 value);
    quint8 fpgaRegister(int address) const; // 0 for a register never written
    static quint8 powerOnValue(int address);

private:
    // The board's own reaction to one byte: the echo of a field character and
    // the reply that follows it. Faults decide later which parts go out.
    struct Reaction
    {
        QByteArray echo;
        QByteArray reply;
    };
    enum class Field { Address, Count, Data };
    enum class Stage { Zero, X, Digits };
    // The command being received; letter 0 while waiting for a command letter.
    struct Pending
    {
        char letter = 0;
        Field field = Field::Address;
        Stage stage = Stage::Zero;
        int digits = 0;
        int value = 0;
        int address = 0;
        int count = 0;
        bool burstForm = false;
        QByteArray data;
    };

    Reaction react(char byte);
    Reaction startCommand(char byte);
    Reaction fieldByte(char byte);
    QByteArray endOfField();
    QByteArray execute();
    QByteArray readRegisters() const;
    void writeRegisters();
    bool isStuck(int address) const;
    Reaction reject();
    QByteArray shaped(const Reaction &reaction, char byte, qint64 index);
    char junk(char avoid);

    BoardOptions m_options;
    bool m_hungUp = false;
    std::array<quint8, 64> m_chip{};
    QMap<int, quint8> m_fpga;
    Pending m_pending;
    qint64 m_received = 0;
    quint32 m_junkState = 0x2545F491u;
    qint64 m_chatterAt = -1; // where the stream goes on; -1 before it begins
};

} // namespace sim

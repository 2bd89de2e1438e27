#pragma once

#include "link/boardcommands.h"
#include "link/boardlink.h"
#include "platform/serialport.h"

// What the board's exchanges cost on a 9600 baud line: every character after
// a command's letter goes out only once the echo of the one before is back,
// so it crosses the line twice. The figures give the progress line its time
// left and the benchmark its floors.
namespace WireTime {

constexpr double CharactersPerSecond = LineSettings{}.charactersPerSecond();

constexpr int OneHeader = BoardCommands::AddressField + BoardCommands::OneCountField; // "0x0000 0x1 "
constexpr int BurstHeader = BoardCommands::AddressField + BoardCommands::BurstCountField; // "0x0000 0x10 "
constexpr int DataField = BoardCommands::DataField; // "0x80 "
// The board ends a write's line before its prompt: "\r\n> ".
constexpr int WriteReply = 2 + BoardCommands::ReplyEnd;

// The letter, the echo-paced fields and the reply.
constexpr int writeCharacters()
{
    return 1 + 2 * (OneHeader + DataField) + WriteReply;
}
constexpr int burstWriteCharacters(int length)
{
    return 1 + 2 * (BurstHeader + length * DataField) + WriteReply;
}
constexpr int burstReadCharacters(int length)
{
    return 1 + 2 * BurstHeader + BoardCommands::ValueDigits * length + BoardCommands::ReplyEnd;
}

constexpr double seconds(int characters)
{
    return characters / CharactersPerSecond;
}
constexpr double resetSeconds()
{
    return seconds(BoardLink::ResetLetters) + BoardLink::ResetPause;
}

} // namespace WireTime

#pragma once

#include "link/boardlink.h"
#include "platform/serialport.h"

// What the board's exchanges cost on a 9600 baud line: every character after
// a command's letter goes out only once the echo of the one before is back,
// so it crosses the line twice. The figures give the progress line its time
// left and the benchmark its floors.
namespace WireTime {

constexpr double CharactersPerSecond = LineSettings{}.charactersPerSecond();
// Each reset sends "QQQ" and pauses half a second.
constexpr int ResetCharacters = 3;
constexpr double ResetPause = BoardLink::ResetPause;

constexpr int AddressFields = 12; // "0x0000 0x10 "; one register: "0x0000 0x1 " and the data
constexpr int DataField = 5; // "0x80 "
constexpr int WriteReply = 4; // "\r\n> "
constexpr int BurstReadTrailer = 2; // "> " after the data

// The letter, the echo-paced fields and the reply.
constexpr int writeCharacters()
{
    return 1 + 2 * (AddressFields - 1 + DataField) + WriteReply;
}
constexpr int burstWriteCharacters(int length)
{
    return 1 + 2 * (AddressFields + length * DataField) + WriteReply;
}
constexpr int burstReadCharacters(int length)
{
    return 1 + 2 * AddressFields + 2 * length + BurstReadTrailer;
}

constexpr double seconds(int characters)
{
    return characters / CharactersPerSecond;
}
constexpr double resetSeconds()
{
    return seconds(ResetCharacters) + ResetPause;
}

} // namespace WireTime

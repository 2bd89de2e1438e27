#pragma once

// Tools > Watch Registers on 0x01 and 0x02 every second for `seconds`
// seconds of the fake clock, with the Link Log open, over the in-process board.
struct WatchFigures
{
    double cpu = 0; // CPU seconds for the whole run
    long growthKilobytes = 0; // resident memory added meanwhile
    int logLines = 0;
    int sent = 0; // characters the board received
};
WatchFigures watchRegisters(int seconds);

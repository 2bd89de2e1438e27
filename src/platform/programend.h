#pragma once

// Ends the program at once: no handler runs afterwards, a wait in progress is
// abandoned and nothing is written.
class ProgramEnd
{
public:
    virtual ~ProgramEnd() = default;
    virtual void endProgram() = 0;
};

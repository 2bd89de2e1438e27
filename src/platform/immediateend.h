#pragma once

#include "programend.h"

class LockFileInstance;
class SerialPort;

// Ends the program at once, from wherever it is called (even inside a wait):
// the serial port and the instance lock (when there is one) are released,
// nothing else runs.
class ImmediateEnd : public ProgramEnd
{
public:
    explicit ImmediateEnd(SerialPort &port, LockFileInstance *instance = nullptr)
        : m_port(port)
        , m_instance(instance)
    {}

    [[noreturn]] void endProgram() override { endWith(0); }
    [[noreturn]] void endWith(int status);

private:
    SerialPort &m_port;
    LockFileInstance *m_instance;
};

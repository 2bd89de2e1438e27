#include "immediateend.h"

#include "lockfileinstance.h"
#include "serialport.h"

#include <cstdio>
#include <cstdlib>

void ImmediateEnd::endWith(int status)
{
    // The port's own lock (in /run/lock) goes with it.
    m_port.close();
    if (m_instance)
        m_instance->release();
    std::fflush(nullptr);
    std::_Exit(status);
}

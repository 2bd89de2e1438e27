#pragma once

// Whether another copy of the program is already running.
class SingleInstance
{
public:
    virtual ~SingleInstance() = default;
    virtual bool anotherCopyRunning() = 0;
};

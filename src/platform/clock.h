#pragma once

// Time and the three ways the program lets it pass. The waits for the board
// use it, so that tests can run them without real seconds.
class Clock
{
public:
    virtual ~Clock() = default;

    // Monotonic seconds with sub-second resolution.
    virtual double seconds() const = 0;
    // Blocks the thread for the given time without processing events.
    virtual void pause(double seconds) = 0;
    // Processes pending events and returns at once.
    virtual void processEvents() = 0;
    // Processes events, blocking until at least one arrives (user input,
    // data from the port) or the deadline (in seconds()) has passed.
    virtual void waitForEvents(double deadline) = 0;
};

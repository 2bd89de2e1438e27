#pragma once

#include "clock.h"

#include <QElapsedTimer>

class RealClock : public Clock
{
public:
    RealClock();

    double seconds() const override;
    void pause(double seconds) override;
    void processEvents() override;
    void waitForEvents(double deadline) override;

private:
    QElapsedTimer m_elapsed;
};

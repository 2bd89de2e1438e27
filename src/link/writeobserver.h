#pragma once

#include <QString>

// Told of every register write the board commands make, confirmed or not,
// for a record of them. The commands call it only while one is set.
class WriteObserver
{
public:
    enum class Target { Chip, Fpga };

    struct Write
    {
        Target target = Target::Chip;
        int address = 0; // the first register of a burst
        QString values; // two hexadecimal digits per register, as sent
        bool confirmed = false; // the board confirmed it; false when nothing went out
    };

    virtual ~WriteObserver() = default;
    virtual void written(const Write &write) = 0;
};

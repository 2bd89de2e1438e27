#pragma once

#include "devicechooser.h"

// The list in a QInputDialog: "no assignment" first, then each device with
// what it says about itself.
class QtDeviceChooser : public DeviceChooser
{
public:
    std::optional<int> choose(const Request &request) override;
};

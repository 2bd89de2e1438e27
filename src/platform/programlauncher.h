#pragma once

#include <QString>

// Starts other programs: the About box's system-information tool.
class ProgramLauncher
{
public:
    virtual ~ProgramLauncher() = default;

    virtual bool fileExists(const QString &path) const = 0;
    // Starts the program at path on its own, with no arguments and no shell,
    // and returns without waiting for it; false when it could not be started.
    virtual bool startDetached(const QString &path) = 0;
};

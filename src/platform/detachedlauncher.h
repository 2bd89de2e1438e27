#pragma once

#include "programlauncher.h"

class DetachedLauncher : public ProgramLauncher
{
public:
    bool fileExists(const QString &path) const override;
    bool startDetached(const QString &path) override;
};

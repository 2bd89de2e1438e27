#pragma once

#include "registry.h"

// The Windows registry itself.
class WinRegistry : public Registry
{
public:
    long RegOpenKeyExA(Key root, const QString &subKey, quint32 options, quint32 access, Key *result) override;
    long RegQueryValueExA(Key key, const QString &valueName, quint32 *type, QByteArray *buffer, quint32 *size) override;
    long RegCloseKey(Key key) override;
};

#pragma once

#include "registry.h"

// Stands in for the registry on a machine that has none. The look-up of the
// system-information tool's path finds the first program of a short list in
// the folders of the search path; no other key exists, so there is never a
// folder holding MSINFO32.EXE.
class ToolPathRegistry : public Registry
{
public:
    // searchPath is a PATH variable's text.
    explicit ToolPathRegistry(QString searchPath = systemSearchPath());
    static QString systemSearchPath();

    long RegOpenKeyExA(Key root, const QString &subKey, quint32 options, quint32 access, Key *result) override;
    long RegQueryValueExA(Key key, const QString &valueName, quint32 *type, QByteArray *buffer, quint32 *size) override;
    long RegCloseKey(Key key) override;

    // The tool's path, or nothing when none of the list is installed.
    QString toolPath() const;

private:
    QString m_searchPath;
};

#pragma once

#include "platform/registry.h"

class MessageBoxes;
class ProgramLauncher;

// The About box's "System Info..." button: finds the operating system's
// system-information tool through the registry and starts it.
class SysInfo
{
public:
    SysInfo(Registry &registry, ProgramLauncher &launcher, MessageBoxes &messages);

    // Starts the tool without waiting for it; every failure ends in one message.
    void StartSysInfo();

    // True when the value was read. keyVal receives it when it is a string,
    // and is left empty otherwise.
    bool GetKeyValue(Registry::Key keyRoot, const QString &keyName, const QString &subKeyRef, QString *keyVal);

private:
    bool start(const QString &value);

    Registry &m_registry;
    ProgramLauncher &m_launcher;
    MessageBoxes &m_messages;
};

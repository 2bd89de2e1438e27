#pragma once

#include "platform/messageboxes.h"

#include <QIODevice>

// Every message of the link and of the commands becomes one line on standard
// error. On a terminal it first clears the progress line it would run into.
class StderrMessages : public MessageBoxes
{
public:
    StderrMessages(QIODevice &stderrDevice, bool terminal)
        : m_device(stderrDevice)
        , m_terminal(terminal)
    {}

    using MessageBoxes::show;
    void show(const QString &text, const QString &, Icon) override
    {
        const QByteArray clear = m_terminal ? "\r\x1b[K" : "";
        m_device.write(clear + "kv71xx-cli: " + text.toLocal8Bit() + '\n');
    }

private:
    QIODevice &m_device;
    bool m_terminal;
};

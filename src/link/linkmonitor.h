#pragma once

#include <QByteArray>
#include <QString>

// Watches the link's traffic, for a log of it. The link calls it only while
// one is set, so a closed log costs nothing.
class LinkMonitor
{
public:
    virtual ~LinkMonitor() = default;

    // A reset or a command letter: a new exchange with the board on `port`.
    virtual void exchangeStarted(const QString &port) = 0;
    virtual void sent(const QByteArray &bytes) = 0;
    // Taken or discarded alike: everything the board sent.
    virtual void received(const QByteArray &bytes) = 0;
    // A wait that ran out, a lost prompt, a port that failed or did not open.
    virtual void failed(const QString &what) = 0;
};

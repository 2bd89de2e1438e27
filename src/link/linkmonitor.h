#pragma once

#include <QByteArray>
#include <QList>
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

// Several monitors at once (the Link Log and the Board Console), each told
// everything in the order they were added.
class LinkMonitors : public LinkMonitor
{
public:
    void add(LinkMonitor *monitor)
    {
        if (!m_monitors.contains(monitor))
            m_monitors.append(monitor);
    }
    void remove(LinkMonitor *monitor) { m_monitors.removeAll(monitor); }
    bool isEmpty() const { return m_monitors.isEmpty(); }

    void exchangeStarted(const QString &port) override
    {
        for (LinkMonitor *m : m_monitors)
            m->exchangeStarted(port);
    }
    void sent(const QByteArray &bytes) override
    {
        for (LinkMonitor *m : m_monitors)
            m->sent(bytes);
    }
    void received(const QByteArray &bytes) override
    {
        for (LinkMonitor *m : m_monitors)
            m->received(bytes);
    }
    void failed(const QString &what) override
    {
        for (LinkMonitor *m : m_monitors)
            m->failed(what);
    }

private:
    QList<LinkMonitor *> m_monitors;
};

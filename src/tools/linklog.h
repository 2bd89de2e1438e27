#pragma once

#include "link/linkmonitor.h"

#include <QWidget>

class BoardLink;
class FileChooser;
class MessageBoxes;
class QPlainTextEdit;
class QTimer;

// One exchange with the board as the log shows it: the time it began, the
// port, the characters sent and everything received.
struct LinkExchange
{
    QString time;
    QString port;
    QString sent;
    QString received;
    QString line() const;
};

// Tools > Link Log: the link's traffic while the window is open, one line
// per exchange (time, port, the characters sent, the characters received)
// and one per failure. Closed, it leaves the link unwatched.
class LinkLog : public QWidget, public LinkMonitor
{
    Q_OBJECT

public:
    // The lines kept; older ones are dropped.
    static constexpr int MaxLines = 100000;

    // It watches the link while shown, so it must not outlive the link while
    // shown; the window's own teardown removes the link first and the log
    // after, never touching the link again.
    LinkLog(BoardLink &link, FileChooser &dialog, MessageBoxes &messages, QWidget *parent = nullptr);

    QStringList lines();
    void clear();
    // Asks for a file and writes the lines to it.
    void save();

    // Non-printing characters as escapes: \r, \n, \\ and \xHH.
    static QString escaped(const QByteArray &bytes);
    // The time of day that begins each line.
    static QString now();
    // A failure's line.
    static QString failureLine(const QString &port, const QString &what);

    void exchangeStarted(const QString &port) override;
    void sent(const QByteArray &bytes) override;
    void received(const QByteArray &bytes) override;
    void failed(const QString &what) override;

protected:
    void showEvent(QShowEvent *event) override;
    void hideEvent(QHideEvent *event) override;

private:
    void begin(const QString &port);
    // The exchange's line shows its characters so far, refreshed soon after
    // they come, not per character.
    void refreshSoon();
    void refresh();

    BoardLink &m_link;
    FileChooser &m_dialog;
    MessageBoxes &m_messages;
    QPlainTextEdit *m_view = nullptr;
    QTimer *m_refresh = nullptr;
    LinkExchange m_exchange;
    bool m_inExchange = false;
    QString m_port;
};

#pragma once

#include "link/linkmonitor.h"

#include <QWidget>

class BoardLink;
class FileChooser;
class MessageBoxes;
class QPlainTextEdit;
class QTimer;

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

    void exchangeStarted(const QString &port) override;
    void sent(const QByteArray &bytes) override;
    void received(const QByteArray &bytes) override;
    void failed(const QString &what) override;

protected:
    void showEvent(QShowEvent *event) override;
    void hideEvent(QHideEvent *event) override;

private:
    struct Exchange
    {
        QString time;
        QString port;
        QString sent;
        QString received;
    };
    void openLine();
    // The exchange's line shows its characters so far, refreshed soon after
    // they come, not per character.
    void refreshSoon();
    void refresh();

    BoardLink &m_link;
    FileChooser &m_dialog;
    MessageBoxes &m_messages;
    QPlainTextEdit *m_view = nullptr;
    QTimer *m_refresh = nullptr;
    Exchange m_exchange;
    bool m_lineOpen = false;
    QString m_port;
};

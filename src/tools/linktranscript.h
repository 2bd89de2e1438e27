#pragma once

#include "link/linkmonitor.h"

#include <QString>

class QPlainTextEdit;
class QTimer;

// The link's traffic as lines of text, as the Link Log and the Board Console
// show it: one line per exchange (the time it began, the port, the
// characters sent, everything received), which appears with its first
// character, and one line per failure.
class LinkTranscript : public LinkMonitor
{
public:
    // With refreshLater, a line is redrawn at most ten times a second
    // instead of for every character.
    explicit LinkTranscript(QPlainTextEdit *view, bool refreshLater = false);

    // Non-printing characters as escapes: \r, \n, \\ and \xHH.
    static QString escaped(const QByteArray &bytes);
    // The time of day that begins each line.
    static QString now();

    void exchangeStarted(const QString &port) override;
    void sent(const QByteArray &bytes) override;
    void received(const QByteArray &bytes) override;
    void failed(const QString &what) override;

    // Writes the open exchange's line as it stands.
    void refresh();
    // The next characters begin a line of their own.
    void closeLine();
    QStringList lines();

private:
    void openLine();
    void changed();

    QPlainTextEdit *m_view;
    QTimer *m_refresh = nullptr;
    QString m_port;
    QString m_time;
    QString m_sent;
    QString m_received;
    bool m_lineOpen = false;
};

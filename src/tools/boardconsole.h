#pragma once

#include "linktranscript.h"

#include <QWidget>

class BoardCommands;
class BoardLink;
class CommandLock;
class QLineEdit;
class QPlainTextEdit;

// Tools > Board Console...: a board command line typed by hand, sent on
// Return as every command is sent (the first character as the letter, the
// rest echo-paced, the reply read up to the prompt), under the command lock.
// Its exchanges and failures show as the Link Log shows them; Up and Down
// recall the lines sent last.
class BoardConsole : public QWidget
{
    Q_OBJECT

public:
    // The lines Up and Down recall.
    static constexpr int HistoryLength = 50;

    BoardConsole(BoardLink &link, BoardCommands &commands, CommandLock &lock, QWidget *parent = nullptr);

    QLineEdit *input() const { return m_input; }
    QStringList lines() { return m_transcript.lines(); }
    // Sends the typed line, as Return does.
    void send();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void exchange(const QString &line);
    void recall(int step);

    BoardLink &m_link;
    BoardCommands &m_commands;
    CommandLock &m_lock;
    QPlainTextEdit *m_view = nullptr;
    QLineEdit *m_input = nullptr;
    QStringList m_history;
    int m_recalled = 0; // m_history.size(): the line being typed
    LinkTranscript m_transcript; // told of the link's traffic while its own line goes out
};

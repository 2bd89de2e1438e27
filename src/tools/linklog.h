#pragma once

#include "linktranscript.h"

#include <QWidget>

class BoardLink;
class FileChooser;
class MessageBoxes;
class QPlainTextEdit;

// Tools > Link Log: the link's traffic while the window is open, one line
// per exchange (time, port, the characters sent, the characters received)
// and one per failure. Closed, it leaves the link unwatched.
class LinkLog : public QWidget
{
    Q_OBJECT

public:
    // The lines kept; older ones are dropped.
    static constexpr int MaxLines = 100000;

    // It watches the link while shown, so it must not outlive the link while
    // shown; the window's own teardown removes the link first and the log
    // after, never touching the link again.
    LinkLog(BoardLink &link, FileChooser &dialog, MessageBoxes &messages, QWidget *parent = nullptr);

    QStringList lines() { return m_transcript.lines(); }
    void clear();
    // Asks for a file and writes the lines to it.
    void save();

protected:
    void showEvent(QShowEvent *event) override;
    void hideEvent(QHideEvent *event) override;

private:
    BoardLink &m_link;
    FileChooser &m_dialog;
    MessageBoxes &m_messages;
    QPlainTextEdit *m_view = nullptr;
    LinkTranscript m_transcript;
};

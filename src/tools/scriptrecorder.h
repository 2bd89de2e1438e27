#pragma once

#include "link/writeobserver.h"

#include <QDateTime>
#include <QList>
#include <QObject>

class BoardCommands;
class BoardLink;
class CommandLock;
class FileChooser;
class MessageBoxes;

// Tools > Record Script...: while on, every register write the window makes
// is kept in order with its time and whether the board confirmed it. Stop
// writes them as a shell script that replays them with kv71xx-cli.
class ScriptRecorder : public QObject, public WriteObserver
{
    Q_OBJECT

public:
    struct Kept
    {
        QTime time;
        Write write;
        int command = 0; // writes of one command of the window share it
    };

    ScriptRecorder(BoardLink &link, BoardCommands &commands, CommandLock &lock, FileChooser &dialog,
                   MessageBoxes &messages, QObject *parent = nullptr);

    bool isOn() const { return m_on; }
    void start();
    // Asks for a file and writes the script there. Recording goes on when
    // no file was chosen or it could not be written: nothing kept is lost.
    void stop();

    // The script that replays the writes on COM`port`, recorded on `date`.
    static QByteArray script(const QList<Kept> &kept, int port, const QDate &date);

    void written(const Write &write) override;

signals:
    void status(const QString &text);

private:
    bool save(const QString &path);
    void end();

    BoardLink &m_link;
    BoardCommands &m_commands;
    FileChooser &m_dialog;
    MessageBoxes &m_messages;
    bool m_on = false;
    QDate m_date;
    QList<Kept> m_kept;
    int m_command = 0;
};

#pragma once

#include <QByteArray>
#include <QString>

// "KV71xx.ini" in the current working directory, looked up at the moment of
// access: one line with the chosen port number, " 3 " and CR LF for port 3.
namespace SettingsFile {

QString fileName();

// The port the content selects: 1 to 8, or 0 for anything else.
int portFromContent(const QByteArray &content);
// The bytes written for a port; port 0 (none chosen) gives the empty line.
QByteArray contentFor(int port);

struct Loaded
{
    bool missing = false;
    int port = 0; // 0 when the file is missing, unreadable or unusable
};
Loaded load();

// False, with the reason in *error, when the file could not be written.
bool save(int port, QString *error);

} // namespace SettingsFile

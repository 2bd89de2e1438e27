#pragma once

#include <QString>

// A session recorded with Tools > Record Script... on the in-process board
// and saved as a script at path: all 64 registers changed once, by one Quick
// Load (one command of the window) or by 64 box edits (64 commands). False
// when no script was saved.
enum class Session { QuickLoad, BoxEdits };
bool recordSession(Session session, const QString &path);

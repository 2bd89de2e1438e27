#pragma once

#include <QStringList>

#include <optional>

// The desktop program's own command-line options. Help and version are
// answered before QApplication opens the display, so they work without one;
// the rest is checked after QApplication has taken its own options
// (-platform, -style, ...) out of the arguments.
namespace ProgramOptions {

// Prints the help or the version on stdout when asked for: the exit status.
std::optional<int> answerHelpOrVersion(int argc, const char *const argv[]);

// Refuses what is left unknown (status 2, one line on stderr) and, for
// --user-folder, makes the program's per-user data folder (created when
// missing) the working folder; nullopt when the program may start.
std::optional<int> apply(const QStringList &arguments);

QString helpText();

} // namespace ProgramOptions

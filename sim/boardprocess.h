#pragma once

#include "boardcore.h"

#include <QProcess>

namespace sim {

// A kv71xx-board process serving a symbolic link, for tests and benchmarks.
// The constructor returns once the link exists (or the board failed to start).
class BoardProcess
{
public:
    struct Settings
    {
        QString linkPath;
        BoardOptions options;
        bool paced = false;
        QString logPath; // empty: no log
    };

    explicit BoardProcess(const Settings &settings);
    ~BoardProcess();

    bool ready() const { return m_ready; }
    QProcess &process() { return m_process; }
    // Every byte the board received, read back from its log.
    QByteArray received() const { return received(m_settings.logPath); }
    static QByteArray received(const QString &logPath);

private:
    Settings m_settings;
    QProcess m_process;
    bool m_ready = false;
};

} // namespace sim

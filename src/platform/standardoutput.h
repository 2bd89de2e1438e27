#pragma once

#include <QIODevice>

#include <functional>

// Standard output, every write checked: behind a redirection a full disk
// would otherwise leave a cut-off result unnoticed.
namespace StandardOutput {

// Writes all of bytes at once; false, with the reason in *error, when they
// did not all get there.
bool print(const QByteArray &bytes, QString *error);

} // namespace StandardOutput

// Standard output as a device, unbuffered, so that each write says whether it
// got there. A reader that has gone (a closed pipe) is no failure to report:
// closedPipe runs instead, to end the program as the signal would have.
class StandardOutputDevice : public QIODevice
{
public:
    explicit StandardOutputDevice(std::function<void()> closedPipe);

protected:
    qint64 readData(char *, qint64) override { return -1; }
    qint64 writeData(const char *data, qint64 size) override;

private:
    std::function<void()> m_closedPipe;
};

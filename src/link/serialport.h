#pragma once

#include <QByteArray>
#include <QString>

// The one serial port of the program, as the link needs it. Used only from the
// user-interface thread. Receive operations act on bytes the device has
// already delivered; send pushes the bytes to the device at once.
class SerialPort
{
public:
    virtual ~SerialPort() = default;

    virtual void setPortNumber(int number) = 0; // 1 to 8; 0 when no port is chosen
    virtual void setSettings(const QString &settings) = 0; // such as "9600,n,8,1"
    virtual bool open() = 0; // false on failure: see devicePath() and errorString()
    virtual void close() = 0;
    virtual bool isOpen() const = 0;
    // True when an error (the device went away) closed the port since it was
    // last opened; such a loss counts as a silent board, not a closed port.
    virtual bool hasFailed() const = 0;

    virtual int waitingCount() = 0;
    virtual void discardInput() = 0;
    virtual void setTakeLength(int length) = 0; // 0 takes all that is waiting
    virtual QByteArray take() = 0;
    virtual void send(const QByteArray &text) = 0;

    virtual QString devicePath() const = 0;
    virtual QString errorString() const = 0;
};

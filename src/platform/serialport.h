#pragma once

#include <QByteArray>
#include <QString>

// The port menu offers COM1 to COM8; 0 stands for "no port chosen".
constexpr int FirstPort = 1;
constexpr int LastPort = 8;
constexpr bool isPortNumber(int number)
{
    return number >= FirstPort && number <= LastPort;
}

// The board's line: 9600 baud, no parity, 8 data bits, 1 stop bit.
struct LineSettings
{
    int baudRate = 9600;
    char parity = 'n'; // n, e or o
    int dataBits = 8;
    int stopBits = 1;

    // A start bit, the data bits, a parity bit unless there is none, the stop bits.
    constexpr int bitsPerCharacter() const { return 1 + dataBits + (parity == 'n' ? 0 : 1) + stopBits; }
    constexpr double charactersPerSecond() const { return double(baudRate) / bitsPerCharacter(); }

    // "9600,n,8,1", for logs and messages.
    QString text() const
    {
        return QStringLiteral("%1,%2,%3,%4").arg(baudRate).arg(QLatin1Char(parity)).arg(dataBits).arg(stopBits);
    }
};

// The one serial port of the program, as the link needs it. Used only from the
// user-interface thread. Receive operations act on bytes the device has
// already delivered; send pushes the bytes to the device at once.
class SerialPort
{
public:
    virtual ~SerialPort() = default;

    virtual void setPortNumber(int number) = 0; // 0 when no port is chosen
    virtual void setSettings(LineSettings settings) = 0;
    virtual bool open() = 0; // false on failure: see devicePath() and errorString()
    virtual void close() = 0;
    virtual bool isOpen() const = 0;
    // True when an error (the device went away) closed the port since it was
    // last opened; such a loss counts as a silent board, not a closed port.
    virtual bool hasFailed() const = 0;

    // Everything received and not yet taken, including what the device holds
    // beyond the port's own buffer.
    virtual int waitingCount() = 0;
    virtual void discardInput() = 0;
    // Removes and returns the oldest waiting bytes, at most max; all when max is 0.
    virtual QByteArray take(int max = 0) = 0;
    virtual void send(const QByteArray &bytes) = 0;

    virtual QString devicePath() const = 0;
    virtual QString errorString() const = 0;
};

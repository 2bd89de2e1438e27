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

// "COM3": the name of port 3 in the menu, in messages and in the working folder.
inline QString portName(int number)
{
    return QStringLiteral("COM%1").arg(number);
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

// Which port to open: COMn by number, or a device named directly.
struct PortChoice
{
    int number = 0; // 1 to 8, 0 when none is chosen
    QString device; // when not empty, opened whatever the number says
};

// The device the last open chose (also when it opened), and why it did not
// open or was lost since (empty while all is well).
struct PortFailure
{
    QString device;
    QString reason;
};

// The one serial port of the program, as the link needs it. Used only from the
// user-interface thread. Receive operations act on bytes the device has
// already delivered; send pushes the bytes to the device at once.
class SerialPort
{
public:
    // Lost: an error (the device went away) closed the port since it was
    // opened; such a loss counts as a silent board, not a closed port.
    enum class State { Closed, Open, Lost };

    virtual ~SerialPort() = default;

    // Closes the port first when it is open; false on failure: see lastFailure().
    virtual bool open(const PortChoice &port, const LineSettings &settings) = 0;
    virtual void close() = 0;
    virtual State state() const = 0;
    virtual PortFailure lastFailure() const = 0;

    // Everything received and not yet taken, including what the device holds
    // beyond the port's own buffer.
    virtual int waitingCount() = 0;
    virtual void discardInput() = 0;
    // Removes and returns the oldest waiting bytes, at most max; all when max is 0.
    virtual QByteArray take(int max = 0) = 0;
    virtual void send(const QByteArray &bytes) = 0;

    bool isOpen() const { return state() == State::Open; }
    bool hasFailed() const { return state() == State::Lost; }
};

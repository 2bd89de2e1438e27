#include "boardlink.h"

#include "linkmonitor.h"

#include "platform/clock.h"
#include "platform/messageboxes.h"
#include "platform/serialport.h"

namespace {

QString echoTimeoutText()
{
    return QStringLiteral("There is a problem communicating over the serial port. Please check "
                          "your serial cable connection and settings");
}

QString promptTimeoutText()
{
    return QStringLiteral("Error in serial communication port. Please Reset Evaluation Board "
                          "and Restart the Application");
}

} // namespace

BoardLink::BoardLink(SerialPort &port, Clock &clock, MessageBoxes &messages, std::function<int()> selectedPort)
    : m_port(port)
    , m_clock(clock)
    , m_messages(messages)
    , m_selectedPort(std::move(selectedPort))
{}

bool BoardLink::Connect_Board()
{
    if (m_port.isOpen())
        m_port.close();
    m_port.setPortNumber(m_selectedPort());
    m_port.setSettings(LineSettings{});
    if (m_monitor)
        m_monitor->exchangeStarted(portName());
    if (!m_port.open()) {
        if (m_monitor)
            m_monitor->failed(QStringLiteral("port error: cannot open (%1)").arg(m_port.errorString()));
        return false;
    }
    m_openFailureShown = false;
    // Three separate sends: the board returns to its prompt whatever state a
    // broken exchange left it in. Its answers are discarded after the pause.
    for (int i = 0; i < 3; ++i)
        sendMonitored(QByteArrayLiteral("Q"));
    m_clock.pause(ResetPause);
    const bool answered = m_port.waitingCount() > 0 && take(0).contains(QLatin1Char(Prompt));
    m_port.discardInput();
    if (answered)
        m_serialError = false;
    m_clock.processEvents();
    return true;
}

void BoardLink::reportOpenFailure()
{
    if (m_openFailureShown)
        return;
    m_openFailureShown = true;
    m_messages.show(openFailureText());
}

bool BoardLink::connectOrReport()
{
    if (Connect_Board())
        return true;
    reportOpenFailure();
    return false;
}

QString BoardLink::openFailureText() const
{
    const int number = m_selectedPort();
    if (number == 0) {
        return QStringLiteral("Cannot open the serial port: no port is selected. "
                              "Choose one under Options, Select Serial Port.");
    }
    return QStringLiteral("Cannot open serial port COM%1 (%2): %3")
        .arg(number)
        .arg(m_port.devicePath(), m_port.errorString());
}

void BoardLink::portChosen()
{
    m_openFailureShown = false;
}

void BoardLink::disconnect()
{
    if (m_port.isOpen())
        m_port.close();
}

bool BoardLink::Wait_Serial_Input(int count)
{
    return waitForInput(count, count, echoTimeoutText(), false);
}

bool BoardLink::Wait_Prompt_Input(int count)
{
    return waitForInput(count, 3.0 * count, promptTimeoutText(), true);
}

bool BoardLink::waitForInput(int count, double limit, const QString &message, bool closeAfterMessage)
{
    // A port that is closed (not lost) can deliver nothing: end at once.
    if (!m_port.isOpen() && !m_port.hasFailed()) {
        ++m_failures;
        return false;
    }
    const double start = m_clock.seconds();
    const double deadline = start + limit;
    while (m_port.isOpen() && m_port.waitingCount() < count && m_clock.seconds() - start < limit && !m_serialError) {
        m_clock.waitForEvents(deadline);
    }
    if (m_port.isOpen() && m_port.waitingCount() >= count)
        return true;
    ++m_failures;
    // Closed meanwhile by the user (Disconnect): not a failure of the board.
    if (!m_port.isOpen() && !m_port.hasFailed())
        return false;
    if (!m_serialError) {
        if (m_monitor) {
            m_monitor->failed(m_port.hasFailed() ? QStringLiteral("port error: %1").arg(m_port.errorString())
                                  : closeAfterMessage
                                  ? QStringLiteral("lost prompt: no character within %1 s").arg(limit)
                                  : QStringLiteral("time-out: %1 of %2 characters within %3 s")
                                        .arg(m_port.isOpen() ? m_port.waitingCount() : 0)
                                        .arg(count)
                                        .arg(limit));
        }
        m_messages.show(message);
        if (closeAfterMessage && m_port.isOpen())
            m_port.close();
    }
    m_serialError = true;
    return false;
}

QString BoardLink::Get_Serial_Character()
{
    return Wait_Serial_Input(1) ? take(1) : QString(QLatin1Char(Prompt));
}

QString BoardLink::Get_Prompt_Character()
{
    return Wait_Prompt_Input(1) ? take(1) : QString(QLatin1Char(Prompt));
}

void BoardLink::Send_Serial_Echo(const QString &text)
{
    discardInput();
    const QByteArray bytes = text.toLatin1();
    for (const char byte : bytes) {
        // The echo paces the line and is dropped; the reply is what remains.
        sendMonitored(QByteArray(1, byte));
        Get_Serial_Character();
    }
}

bool BoardLink::isOpen() const
{
    return m_port.isOpen();
}

void BoardLink::sendLetter(char letter)
{
    if (m_monitor)
        m_monitor->exchangeStarted(portName());
    sendMonitored(QByteArray(1, letter));
}

void BoardLink::sendMonitored(const QByteArray &bytes)
{
    m_port.send(bytes);
    if (m_monitor)
        m_monitor->sent(bytes);
}

void BoardLink::discardInput()
{
    // What is dropped is still part of the traffic a log shows.
    if (m_monitor && m_port.isOpen() && m_port.waitingCount() > 0)
        m_monitor->received(m_port.take());
    m_port.discardInput();
}

QString BoardLink::take(int max)
{
    const QByteArray bytes = m_port.take(max);
    if (m_monitor && !bytes.isEmpty())
        m_monitor->received(bytes);
    return QString::fromLatin1(bytes);
}

QString BoardLink::portName() const
{
    return QStringLiteral("COM%1").arg(m_selectedPort());
}

void BoardLink::pause(double seconds)
{
    m_clock.pause(seconds);
}

void BoardLink::processEvents()
{
    m_clock.processEvents();
}

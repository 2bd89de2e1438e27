#include "boardlink.h"

#include "linkmonitor.h"

#include "platform/clock.h"
#include "platform/messageboxes.h"
#include "platform/serialport.h"

BoardLink::BoardLink(SerialPort &port, Clock &clock, MessageBoxes &messages, LinkTexts texts)
    : m_port(port)
    , m_clock(clock)
    , m_messages(messages)
    , m_texts(std::move(texts))
{}

void BoardLink::setPort(int number)
{
    m_choice.number = number;
    m_openFailureShown = false;
}

void BoardLink::setDevice(const QString &path)
{
    m_choice.device = path;
    m_openFailureShown = false;
}

bool BoardLink::Connect_Board()
{
    if (m_port.isOpen())
        m_port.close();
    if (m_monitor)
        m_monitor->exchangeStarted(choiceName());
    if (!m_port.open(m_choice, LineSettings{})) {
        if (m_monitor)
            m_monitor->failed(QStringLiteral("port error: cannot open (%1)").arg(m_port.lastFailure().reason));
        return false;
    }
    m_openFailureShown = false;
    // Three separate sends: the board returns to its prompt whatever state a
    // broken exchange left it in. Its answers are discarded after the pause.
    for (int i = 0; i < ResetLetters; ++i)
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
    if (m_choice.number == 0 && m_choice.device.isEmpty()) {
        return QStringLiteral("Cannot open the serial port: no port is selected. "
                              "Choose one under Options, Select Serial Port.");
    }
    // "COM1 (/dev/ttyUSB0)", or the device alone when it was named directly.
    const PortFailure failure = m_port.lastFailure();
    const QString port = m_choice.device.isEmpty()
        ? QStringLiteral("%1 (%2)").arg(portName(m_choice.number), failure.device)
        : failure.device;
    return QStringLiteral("%1 cannot be opened: %2").arg(port, failure.reason);
}

void BoardLink::disconnect()
{
    if (m_port.isOpen())
        m_port.close();
}

bool BoardLink::Wait_Serial_Input(int count)
{
    return waitForInput(count, EchoTimeLimit * count, m_texts.echoTimeout, false);
}

bool BoardLink::Wait_Prompt_Input(int count)
{
    return waitForInput(count, PromptTimeLimit * count, m_texts.promptTimeout, true);
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
    // Closed meanwhile by the user (Disconnect): not a failure of the board.
    if (!m_port.isOpen() && !m_port.hasFailed()) {
        ++m_failures;
        return false;
    }
    const QString what = closeAfterMessage ? QStringLiteral("lost prompt: no character within %1 s").arg(limit)
                                           : QStringLiteral("time-out: %1 of %2 characters within %3 s")
                                                 .arg(m_port.isOpen() ? m_port.waitingCount() : 0)
                                                 .arg(count)
                                                 .arg(limit);
    fail(message, closeAfterMessage, what);
    return false;
}

void BoardLink::failReply()
{
    fail(m_texts.promptTimeout, true, QStringLiteral("lost prompt: the reply did not end with the prompt"));
}

void BoardLink::fail(const QString &message, bool closeAfterMessage, const QString &what)
{
    ++m_failures;
    if (!m_serialError) {
        if (m_monitor)
            m_monitor->failed(m_port.hasFailed() ? QStringLiteral("port error: %1").arg(m_port.lastFailure().reason)
                                                 : what);
        m_messages.show(message);
        if (closeAfterMessage && m_port.isOpen())
            m_port.close();
    }
    m_serialError = true;
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
        m_monitor->exchangeStarted(choiceName());
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

QString BoardLink::choiceName() const
{
    return m_choice.device.isEmpty() ? portName(m_choice.number) : m_choice.device;
}

void BoardLink::pause(double seconds)
{
    m_clock.pause(seconds);
}

void BoardLink::processEvents()
{
    m_clock.processEvents();
}

double BoardLink::seconds() const
{
    return m_clock.seconds();
}

#include "boardlink.h"

#include "platform/clock.h"
#include "platform/messageboxes.h"
#include "platform/serialport.h"

#include <utility>

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

void BoardLink::addMonitor(LinkMonitor *monitor)
{
    m_monitors.add(monitor);
    m_monitor = &m_monitors;
}

void BoardLink::removeMonitor(LinkMonitor *monitor)
{
    m_monitors.remove(monitor);
    m_monitor = m_monitors.isEmpty() ? nullptr : &m_monitors;
}

bool BoardLink::Connect_Board()
{
    if (m_port.isOpen())
        m_port.close();
    const bool opened = m_port.open(m_choice, LineSettings{});
    m_openFailed = !opened;
    startExchange();
    if (!opened) {
        tellFailure(QStringLiteral("port error: cannot open (%1)").arg(m_port.lastFailure().reason));
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
    QString reason = m_port.lastFailure().reason;
    if (!reason.endsWith(QLatin1Char('.')))
        reason += QLatin1Char('.');
    return QStringLiteral("%1 cannot be opened: %2 %3").arg(portDescription(), reason, filledIn(m_texts.openAdvice));
}

QString BoardLink::filledIn(QString text) const
{
    return text.replace(QLatin1String("{opened}"), portDescription())
        .replace(QLatin1String("{port}"), portName(m_choice.number));
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
    tellFailure(m_port.hasFailed() ? QStringLiteral("port error: %1").arg(m_port.lastFailure().reason) : what);
    if (!m_serialError) {
        m_messages.show(filledIn(message));
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

bool BoardLink::sendLetter(char letter)
{
    startExchange();
    if (!m_port.isOpen()) {
        tellFailure(m_port.hasFailed() ? QStringLiteral("port error: %1").arg(m_port.lastFailure().reason)
                                       : QStringLiteral("port closed: nothing sent"));
        return false;
    }
    ++m_commandDepth;
    sendMonitored(QByteArray(1, letter));
    return true;
}

void BoardLink::startExchange()
{
    m_failureTold = false;
    if (m_monitor)
        m_monitor->exchangeStarted(portDescription());
}

void BoardLink::tellFailure(const QString &what)
{
    // The first failure of an exchange; the waits after it end at once.
    if (m_monitor && !m_failureTold)
        m_monitor->failed(what);
    m_failureTold = true;
}

void BoardLink::endCommand()
{
    if (m_commandDepth > 0)
        --m_commandDepth;
    if (m_commandDepth == 0 && m_afterCommand)
        std::exchange(m_afterCommand, nullptr)();
}

void BoardLink::whenNoCommand(std::function<void()> action)
{
    if (commandInFlight())
        m_afterCommand = std::move(action);
    else
        action();
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

QString BoardLink::portDescription() const
{
    const QString device = m_port.lastFailure().device;
    if (!m_choice.device.isEmpty() || device.isEmpty())
        return m_choice.device.isEmpty() ? portName(m_choice.number) : device;
    return QStringLiteral("%1 (%2)").arg(portName(m_choice.number), device);
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

#include "qtserialport.h"

#include "portproblems.h"
#include "portroutes.h"

#include <QDir>
#include <QFileInfo>

namespace {

QSerialPort::Parity parity(char letter)
{
    switch (letter) {
    case 'e':
        return QSerialPort::EvenParity;
    case 'o':
        return QSerialPort::OddParity;
    default:
        return QSerialPort::NoParity;
    }
}

} // namespace

QtSerialPort::QtSerialPort(QObject *parent)
    : QObject(parent)
{
    connect(&m_port, &QSerialPort::errorOccurred, this, &QtSerialPort::handleError);
}

bool QtSerialPort::fail(const QString &reason)
{
    m_error = reason;
    return false;
}

bool QtSerialPort::open(const PortChoice &port, const LineSettings &settings)
{
    close();
    m_failed = false;
    m_error.clear();
    m_device.clear();
    if (port.device.isEmpty() && !isPortNumber(port.number))
        return fail(tr("no serial port is selected"));

    // A name that is no file ("ttyUSB0", "COM12") is the platform's to look up.
    const QFileInfo given(port.device);
    const bool named = !port.device.isEmpty();
    const PortRoute route = named ? PortRoute{} : portRoute(port.number);
#ifdef Q_OS_WIN
    const bool isFile = false; // "COM3" is the port itself in every folder
#else
    const bool isFile = given.exists();
#endif
    m_device = !named ? route.device : isFile ? given.canonicalFilePath() : port.device;
    if (!named && route.via == PortRoute::Via::Link && !route.present) {
        return fail(tr("the link %1 in %2 leads to %3, which is not there")
                        .arg(portName(port.number), QDir::currentPath(), m_device));
    }
    m_port.setPortName(m_device);
    m_port.setBaudRate(settings.baudRate);
    m_port.setParity(parity(settings.parity));
    m_port.setDataBits(QSerialPort::DataBits(settings.dataBits));
    m_port.setStopBits(settings.stopBits == 2 ? QSerialPort::TwoStop : QSerialPort::OneStop);
    if (!m_port.open(QIODevice::ReadWrite))
        return fail(openFailure());
    return true;
}

QString QtSerialPort::openFailure() const
{
    const QString lock = PortProblems::lockProblem(m_device);
    if (!lock.isEmpty())
        return lock;
    const QString advice = m_port.error() == QSerialPort::PermissionError ? PortProblems::groupAdvice(m_device)
                                                                          : QString();
    return advice.isEmpty() ? m_port.errorString() : m_port.errorString() + QStringLiteral(". ") + advice;
}

void QtSerialPort::close()
{
    if (m_port.isOpen())
        m_port.close();
}

SerialPort::State QtSerialPort::state() const
{
    if (m_failed)
        return State::Lost;
    return m_port.isOpen() ? State::Open : State::Closed;
}

void QtSerialPort::handleError(QSerialPort::SerialPortError error)
{
    switch (error) {
    case QSerialPort::ResourceError:
    case QSerialPort::ReadError:
    case QSerialPort::WriteError:
        // The device went away (adapter unplugged, board hung up). The port
        // counts as closed from here on. The dead descriptor keeps reporting
        // itself readable, so it is released as soon as control is back in
        // the event loop, never inside the port's own notification.
        if (m_port.isOpen() && !m_failed) {
            m_failed = true;
            m_error = m_port.errorString();
            QMetaObject::invokeMethod(this, &QtSerialPort::releaseFailedPort, Qt::QueuedConnection);
        }
        break;
    default:
        break;
    }
}

void QtSerialPort::releaseFailedPort()
{
    // A port reopened since the failure is not touched.
    if (m_failed)
        close();
}

int QtSerialPort::waitingCount()
{
    if (!isOpen())
        return 0;
    // Collect what the device holds even when no event loop has run since,
    // whatever the port's own buffer has already: a wait woken after its
    // deadline must count every character that arrived before it.
    m_port.waitForReadyRead(0);
    return isOpen() ? int(m_port.bytesAvailable()) : 0;
}

void QtSerialPort::discardInput()
{
    if (!isOpen())
        return;
    // Empties both the port's own buffer and the device's.
    m_port.clear(QSerialPort::Input);
}

QByteArray QtSerialPort::take(int max)
{
    if (!isOpen())
        return QByteArray();
    return max == 0 ? m_port.readAll() : m_port.read(max);
}

void QtSerialPort::send(const QByteArray &bytes)
{
    if (!isOpen())
        return;
    m_port.write(bytes);
    // Push the bytes now: the caller may pause without running the event loop.
    m_port.flush();
}

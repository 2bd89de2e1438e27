#include "qtserialport.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#ifdef Q_OS_UNIX
#include <unistd.h>
#endif

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

// Opens the device itself, so that its lock names the real device; a relative
// path starts from the working directory.
QString resolvedDevice(const QFileInfo &file)
{
    const QString target = file.canonicalFilePath();
    return target.isEmpty() ? file.absoluteFilePath() : target;
}

} // namespace

QString serialDeviceFor(int number)
{
    const QString name = QStringLiteral("COM%1").arg(number);
    const QFileInfo local(QDir::current().absoluteFilePath(name));
    if (local.exists() || local.isSymLink())
        return resolvedDevice(local);
#ifdef Q_OS_WIN
    return name;
#else
    return QStringLiteral("/dev/ttyS%1").arg(number - 1);
#endif
}

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

QString QtSerialPort::fixedDevice() const
{
    // A name that is no file ("ttyUSB0", "COM12") is the platform's to look up.
    const QFileInfo file(m_fixedDevice);
    return file.exists() || file.isSymLink() ? resolvedDevice(file) : m_fixedDevice;
}

bool QtSerialPort::open()
{
    close();
    m_failed = false;
    m_error.clear();
    m_device.clear();
    if (m_fixedDevice.isEmpty() && !isPortNumber(m_number))
        return fail(tr("no serial port is selected"));

    m_device = m_fixedDevice.isEmpty() ? serialDeviceFor(m_number) : fixedDevice();
    m_port.setPortName(m_device);
    m_port.setBaudRate(m_settings.baudRate);
    m_port.setParity(parity(m_settings.parity));
    m_port.setDataBits(QSerialPort::DataBits(m_settings.dataBits));
    m_port.setStopBits(m_settings.stopBits == 2 ? QSerialPort::TwoStop : QSerialPort::OneStop);
    if (!m_port.open(QIODevice::ReadWrite))
        return fail(openFailure());
    return true;
}

QString QtSerialPort::openFailure() const
{
    QString reason = m_port.errorString();
#ifdef Q_OS_UNIX
    // Refused for permission: on Linux the user is missing from the group
    // that owns the device, usually dialout.
    if (m_port.error() == QSerialPort::PermissionError
        && ::access(QFile::encodeName(m_device).constData(), R_OK | W_OK) != 0) {
        reason += tr(". To use %1 your user must be in its group \"%2\" (sudo usermod -aG %2 "
                     "$USER, then log in again)")
                      .arg(m_device, QFileInfo(m_device).group());
    }
#endif
    return reason;
}

void QtSerialPort::close()
{
    if (m_port.isOpen())
        m_port.close();
}

bool QtSerialPort::isOpen() const
{
    return m_port.isOpen() && !m_failed;
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

#include "qtserialport.h"

#include <QDir>
#include <QFileInfo>
#include <QHash>

std::optional<LineSettings> parseLineSettings(const QString &text)
{
    const QStringList parts = text.split(QLatin1Char(','));
    if (parts.size() != 4)
        return std::nullopt;
    LineSettings settings;
    bool ok = false;
    settings.baudRate = parts.at(0).trimmed().toInt(&ok);
    if (!ok || settings.baudRate <= 0)
        return std::nullopt;

    static const QHash<QString, QSerialPort::Parity> parities{
        {QStringLiteral("n"), QSerialPort::NoParity},   {QStringLiteral("e"), QSerialPort::EvenParity},
        {QStringLiteral("o"), QSerialPort::OddParity},  {QStringLiteral("m"), QSerialPort::MarkParity},
        {QStringLiteral("s"), QSerialPort::SpaceParity}};
    const auto parity = parities.constFind(parts.at(1).trimmed().toLower());
    if (parity == parities.constEnd())
        return std::nullopt;
    settings.parity = *parity;

    const int dataBits = parts.at(2).trimmed().toInt(&ok);
    if (!ok || dataBits < 5 || dataBits > 8)
        return std::nullopt;
    settings.dataBits = QSerialPort::DataBits(dataBits);

    static const QHash<QString, QSerialPort::StopBits> stopBits{
        {QStringLiteral("1"), QSerialPort::OneStop},
        {QStringLiteral("1.5"), QSerialPort::OneAndHalfStop},
        {QStringLiteral("2"), QSerialPort::TwoStop}};
    const auto stop = stopBits.constFind(parts.at(3).trimmed());
    if (stop == stopBits.constEnd())
        return std::nullopt;
    settings.stopBits = *stop;
    return settings;
}

QString serialDeviceFor(int number)
{
    const QString name = QStringLiteral("COM%1").arg(number);
    const QFileInfo local(QDir::current().absoluteFilePath(name));
    if (local.exists() || local.isSymLink()) {
        // Open the device itself, so that its lock names the real device.
        const QString target = local.canonicalFilePath();
        return target.isEmpty() ? local.absoluteFilePath() : target;
    }
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

bool QtSerialPort::open()
{
    close();
    m_failed = false;
    m_error.clear();
    m_device.clear();
    if (m_number < 1 || m_number > 8)
        return fail(tr("no serial port is selected"));
    const std::optional<LineSettings> settings = parseLineSettings(m_settings);
    if (!settings)
        return fail(tr("invalid line settings \"%1\"").arg(m_settings));

    m_device = serialDeviceFor(m_number);
    m_port.setPortName(m_device);
    m_port.setBaudRate(settings->baudRate);
    m_port.setParity(settings->parity);
    m_port.setDataBits(settings->dataBits);
    m_port.setStopBits(settings->stopBits);
    if (!m_port.open(QIODevice::ReadWrite))
        return fail(m_port.errorString());
    return true;
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
    // Collect what the device holds even when no event loop has run since.
    if (m_port.bytesAvailable() == 0)
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

QByteArray QtSerialPort::take()
{
    if (!isOpen())
        return QByteArray();
    return m_takeLength == 0 ? m_port.readAll() : m_port.read(m_takeLength);
}

void QtSerialPort::send(const QByteArray &text)
{
    if (!isOpen())
        return;
    m_port.write(text);
    // Push the bytes now: the caller may pause without running the event loop.
    m_port.flush();
}

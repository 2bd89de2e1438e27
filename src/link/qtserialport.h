#pragma once

#include "serialport.h"

#include <QObject>
#include <QSerialPort>

#include <optional>

struct LineSettings
{
    qint32 baudRate = 9600;
    QSerialPort::Parity parity = QSerialPort::NoParity;
    QSerialPort::DataBits dataBits = QSerialPort::Data8;
    QSerialPort::StopBits stopBits = QSerialPort::OneStop;
};

// "9600,n,8,1": baud rate, parity (n, e, o, m, s), data bits 5 to 8,
// stop bits 1, 1.5 or 2. Nothing for any other text.
std::optional<LineSettings> parseLineSettings(const QString &text);

// Port n is the file or link "COMn" in the current working directory when
// there is one (so a USB adapter or the simulated board can stand in for it),
// otherwise the platform's n-th serial port.
QString serialDeviceFor(int number);

class QtSerialPort : public QObject, public SerialPort
{
    Q_OBJECT

public:
    explicit QtSerialPort(QObject *parent = nullptr);

    void setPortNumber(int number) override { m_number = number; }
    void setSettings(const QString &settings) override { m_settings = settings; }
    bool open() override;
    void close() override;
    bool isOpen() const override;
    bool hasFailed() const override { return m_failed; }

    int waitingCount() override;
    void discardInput() override;
    void setTakeLength(int length) override { m_takeLength = length; }
    QByteArray take() override;
    void send(const QByteArray &text) override;

    QString devicePath() const override { return m_device; }
    QString errorString() const override { return m_error; }

private:
    void handleError(QSerialPort::SerialPortError error);
    void releaseFailedPort();
    bool fail(const QString &reason);

    QSerialPort m_port;
    int m_number = 0;
    QString m_settings;
    int m_takeLength = 0;
    bool m_failed = false;
    QString m_device;
    QString m_error;
};

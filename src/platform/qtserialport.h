#pragma once

#include "serialport.h"

#include <QObject>
#include <QSerialPort>

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
    // When not empty, this device is opened whatever the port number says.
    void useDevice(const QString &path) { m_fixedDevice = path; }
    void setSettings(LineSettings settings) override { m_settings = settings; }
    bool open() override;
    void close() override;
    bool isOpen() const override;
    bool hasFailed() const override { return m_failed; }

    int waitingCount() override;
    void discardInput() override;
    QByteArray take(int max = 0) override;
    void send(const QByteArray &bytes) override;

    QString devicePath() const override { return m_device; }
    QString errorString() const override { return m_error; }

private:
    void handleError(QSerialPort::SerialPortError error);
    void releaseFailedPort();
    bool fail(const QString &reason);
    QString openFailure() const;
    QString fixedDevice() const;

    QSerialPort m_port;
    int m_number = 0;
    QString m_fixedDevice;
    LineSettings m_settings;
    bool m_failed = false;
    QString m_device;
    QString m_error;
};

#pragma once

#include "serialport.h"

#include <QObject>
#include <QSerialPort>

// Port n opens the device its route names (platform/portroutes.h).
class QtSerialPort : public QObject, public SerialPort
{
    Q_OBJECT

public:
    explicit QtSerialPort(QObject *parent = nullptr);

    bool open(const PortChoice &port, const LineSettings &settings) override;
    void close() override;
    State state() const override;
    PortFailure lastFailure() const override { return {m_device, m_error}; }

    int waitingCount() override;
    void discardInput() override;
    QByteArray take(int max = 0) override;
    void send(const QByteArray &bytes) override;

private:
    void handleError(QSerialPort::SerialPortError error);
    void releaseFailedPort();
    bool fail(const QString &reason);
    QString openFailure() const;

    QSerialPort m_port;
    bool m_failed = false;
    QString m_device;
    QString m_error;
};

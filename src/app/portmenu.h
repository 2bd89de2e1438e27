#pragma once

#include "platform/devicechooser.h"
#include "platform/serialport.h"

#include <QObject>

#include <array>

class MessageBoxes;
class QAction;
class QMenu;
class SerialDevices;

// The "&Select Serial Port" menu: COM1 to COM8, whose check mark is the
// chosen port, remembered in KV71xx.ini. Each item tells which device it
// opens, and a last item assigns a detected device to the chosen port.
class PortMenu : public QObject
{
    Q_OBJECT

public:
    PortMenu(QMenu *options, SerialDevices &devices, DeviceChooser &chooser, MessageBoxes &messages,
             QObject *parent = nullptr);

    QAction *COM_SEL(int index) const { return m_comSel.at(size_t(index)); }
    // The index of the checked port item; the highest wins, 0 for none.
    int selectedPort() const;

    void COM_SEL_Click(int index);
    void LoadDefaults();
    void SaveDefaults();
    // Asks which detected device the chosen port opens from now on.
    void assignDevice();
    // Where the serial adapters are that the chosen port does not open, and
    // how to choose one; empty when there is none.
    QString adapterHint() const;

signals:
    // The port the next link reset opens changed, in number or in device.
    void portChosen(int number);

private:
    void setCheckedPort(int port);
    void refresh();
    DeviceChooser::Request assignRequest(int port) const;

    SerialDevices &m_devices;
    DeviceChooser &m_chooser;
    MessageBoxes &m_messages;
    std::array<QAction *, LastPort + 1> m_comSel{}; // 1 to 8
    QAction *m_assign = nullptr;
};

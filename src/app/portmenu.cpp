#include "portmenu.h"

#include "platform/devicechooser.h"
#include "platform/messageboxes.h"
#include "platform/portroutes.h"
#include "settings/settingsfile.h"

#include <QAction>
#include <QMenu>

PortMenu::PortMenu(QMenu *options, SerialDevices &devices, DeviceChooser &chooser, MessageBoxes &messages,
                   QObject *parent)
    : QObject(parent)
    , m_devices(devices)
    , m_chooser(chooser)
    , m_messages(messages)
{
    QMenu *menu = options->addMenu(QStringLiteral("&Select Serial Port"));
    menu->setObjectName(QStringLiteral("mSetupCom"));
    menu->setToolTipsVisible(true);
    for (int i = FirstPort; i <= LastPort; ++i) {
        QAction *item = menu->addAction(portName(i));
        item->setObjectName(QStringLiteral("COM_SEL_%1").arg(i));
        item->setCheckable(true);
        connect(item, &QAction::triggered, this, [this, i] { COM_SEL_Click(i); });
        m_comSel.at(size_t(i)) = item;
    }
    menu->addSeparator();
    m_assign = menu->addAction(QString());
    m_assign->setObjectName(QStringLiteral("mAssignDevice"));
    connect(m_assign, &QAction::triggered, this, &PortMenu::assignDevice);
    // Devices come and go: the tips say what each port opens when the menu shows.
    connect(menu, &QMenu::aboutToShow, this, &PortMenu::refresh);
    refresh();
}

int PortMenu::selectedPort() const
{
    int port = 0;
    for (int i = FirstPort; i <= LastPort; ++i) {
        if (COM_SEL(i)->isChecked())
            port = i;
    }
    return port;
}

void PortMenu::setCheckedPort(int port)
{
    for (int i = FirstPort; i <= LastPort; ++i)
        COM_SEL(i)->setChecked(i == port);
    refresh();
    emit portChosen(selectedPort());
}

void PortMenu::refresh()
{
    for (int i = FirstPort; i <= LastPort; ++i) {
        const QString tip = portRoute(i).text();
        COM_SEL(i)->setStatusTip(tip);
        COM_SEL(i)->setToolTip(tip);
    }
    const int port = selectedPort();
    m_assign->setText(port ? QStringLiteral("Assign a Device to %1...").arg(portName(port))
                           : QStringLiteral("Assign a Device..."));
    m_assign->setEnabled(port != 0);
}

void PortMenu::LoadDefaults()
{
    const SettingsFile::Loaded loaded = SettingsFile::load();
    setCheckedPort(loaded.missing ? FirstPort : loaded.port);
    if (loaded.missing)
        SaveDefaults();
}

void PortMenu::SaveDefaults()
{
    QString error;
    if (!SettingsFile::save(selectedPort(), &error))
        m_messages.show(error);
}

void PortMenu::COM_SEL_Click(int index)
{
    // An open port stays as it is; the choice counts from the next connect.
    setCheckedPort(index);
    SaveDefaults();
}

void PortMenu::assignDevice()
{
    const int port = selectedPort();
    const QList<SerialDevice> devices = m_devices.detected();
    const std::optional<int> chosen = port ? m_chooser.choose(portName(port), devices) : std::nullopt;
    if (!chosen || *chosen < DeviceChooser::NoDevice || *chosen >= devices.size())
        return;
    // The stable path finds the adapter again after a replug on another ttyUSB.
    const QString device = *chosen == DeviceChooser::NoDevice ? QString() : devices.at(*chosen).lastingPath();
    QString error;
    if (!PortAssignments::assign(port, device, &error))
        m_messages.show(error);
    refresh();
    emit portChosen(port);
}

#include "portmenu.h"

#include "platform/devicechooser.h"
#include "platform/messageboxes.h"
#include "platform/portroutes.h"
#include "settings/settingsfile.h"

#include <QAction>
#include <QDir>
#include <QMenu>

#include <algorithm>

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

QString PortMenu::adapterHint() const
{
    const int port = selectedPort();
    if (!port)
        return {};
    const PortRoute route = portRoute(port);
    QStringList adapters;
    for (const SerialDevice &device : m_devices.detected()) {
        if (device.isAdapter() && device.path != route.device)
            adapters.append(device.path);
    }
    if (adapters.isEmpty())
        return {};
    return QStringLiteral("%1 opens %2%3; %4 at %5: Options > Assign a Device to %1.")
        .arg(portName(port), route.device, route.present ? QString() : QStringLiteral(" (not present)"),
             adapters.size() == 1 ? QStringLiteral("a serial adapter is") : QStringLiteral("serial adapters are"),
             adapters.join(QStringLiteral(", ")));
}

DeviceChooser::Request PortMenu::assignRequest(int port) const
{
    DeviceChooser::Request request;
    request.portName = portName(port);
    request.devices = m_devices.detected();
    const QString assigned = PortAssignments::device(port);
    for (int i = 0; i < request.devices.size() && !assigned.isEmpty(); ++i) {
        const SerialDevice &device = request.devices.at(i);
        if (device.path == assigned || device.stablePath == assigned)
            request.current = i;
    }
    QStringList notes;
    const PortRoute route = portRoute(port);
    if (route.via == PortRoute::Via::Link) {
        notes.append(QStringLiteral("%1 in %2 comes before any assignment: while it is there, %3 opens %4.")
                         .arg(portName(port), QDir::currentPath(), portName(port), route.device));
    }
    if (std::none_of(request.devices.begin(), request.devices.end(),
                     [](const SerialDevice &d) { return d.isAdapter(); }))
        notes.append(
            QStringLiteral("The system reports no USB or other serial adapter: plug one in and choose again."));
    request.note = notes.join(QLatin1Char('\n'));
    return request;
}

void PortMenu::assignDevice()
{
    const int port = selectedPort();
    if (!port)
        return;
    const DeviceChooser::Request request = assignRequest(port);
    const QList<SerialDevice> &devices = request.devices;
    const std::optional<int> chosen = m_chooser.choose(request);
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

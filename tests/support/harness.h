#pragma once

#include "fakes.h"
#include "simport.h"

#include "app/form1.h"
#include "app/portmenu.h"
#include "registers/registerboxes.h"
#include "sliders/fieldsliders.h"

#include <QAction>
#include <QCoreApplication>
#include <QTemporaryDir>

#include <memory>

class QLineEdit;
class QScrollBar;

// Whether Write, Read, Read All and the video mode item are enabled, as "1111".
QString commandStates(const QWidget &form);

// The main window on fakes and the in-process board, in a fresh working directory.
struct Harness
{
    explicit Harness(const sim::BoardOptions &options = {}, bool load = true);
    ~Harness();

    Platform platform() { return platformOf(*this); }
    template<typename T = QWidget>
    T *find(const char *name) const
    {
        return form->findChild<T *>(QLatin1String(name));
    }

    // The live window of type T, opened first by the menu item when one is named.
    template<typename T>
    T *dialog(const char *openingItem = nullptr) const
    {
        if (openingItem)
            find<QAction>(openingItem)->trigger();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        return form->findChild<T *>();
    }

    QLineEdit *box(int address) const { return form->boxes().reg_KV7103(address); }
    QScrollBar *slider(int address) const { return form->sliders().slider(address); }
    QString text(int address) const;
    // Sets a box's text as the program does (raises its change handling).
    void setText(int address, const QString &text) { form->boxes().setText(address, text); }
    // Types into a box with real key events.
    void type(int address, const QString &keys);
    void click(const char *button);
    QString commandStates() const { return ::commandStates(*form); }
    // The line at the window's foot that says how the last command went.
    QString status() const;

    QString previousDirectory;
    QTemporaryDir dir;
    EventLog log;
    FakeClock clock{&log};
    FakeMessageBoxes messages{&clock, &log};
    SimPort port;
    FakeInstance instance;
    FakeEnd end{&log};
    FakeRegistry registry;
    FakeLauncher launcher;
    FakeFileChooser fileDialog;
    FakeSerialDevices devices;
    DeviceChooser &deviceChooser = devices;
    std::unique_ptr<Form1> form;
};

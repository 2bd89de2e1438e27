#pragma once

#include "fakes.h"
#include "simport.h"

#include "app/form1.h"
#include "app/portmenu.h"
#include "app/statusline.h"
#include "registers/registerboxes.h"
#include "sliders/fieldsliders.h"

#include <QAbstractButton>
#include <QAction>
#include <QCoreApplication>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

// Whether Write, Read, Read All and the video mode item are enabled, as "1111".
QString commandStates(const QWidget &form);

// The main window on fakes and the in-process board, in a fresh working directory.
struct Harness : FakePlatform
{
    explicit Harness(const sim::BoardOptions &options = {}, bool load = true)
        : FakePlatform(&clock, &log)
        , port(&log.events, options)
    {
        QDir::setCurrent(dir.path());
        form = std::make_unique<Form1>(platform());
        if (load)
            form->Form_Load();
    }
    ~Harness()
    {
        form.reset();
        QDir::setCurrent(previousDirectory);
    }

    using FakePlatform::platform;
    Platform platform() { return platform(port, clock); }
    template<typename T = QWidget>
    T *find(const char *name) const
    {
        return form->findChild<T *>(name);
    }

    // The live window of type T, opened first by the named menu item.
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
    QString text(int address) const { return box(address)->text(); }
    // As the program sets a box (raising its change handling).
    void setText(int address, const QString &text) { form->boxes().setText(address, text); }
    void type(int address, const QString &keys) { QTest::keyClicks(box(address), keys); }
    void click(const char *button) { find<QAbstractButton>(button)->click(); }
    QString commandStates() const { return ::commandStates(*form); }
    // The line at the window's foot that says how the last command went.
    QString status() const { return find<StatusLine>("StatusLine")->status(); }

    QString previousDirectory = QDir::currentPath();
    QTemporaryDir dir;
    EventLog log;
    FakeClock clock{&log};
    SimPort port;
    std::unique_ptr<Form1> form;
};

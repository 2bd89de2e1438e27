#include "harness.h"

#include <QAbstractButton>
#include <QAction>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QScrollBar>
#include <QTest>

Harness::Harness(const sim::BoardOptions &options, bool load)
    : previousDirectory(QDir::currentPath())
    , port(&log.events, options)
{
    QDir::setCurrent(dir.path());
    form = std::make_unique<Form1>(platform());
    if (load)
        form->Form_Load();
}

Harness::~Harness()
{
    form.reset();
    QDir::setCurrent(previousDirectory);
}

QString Harness::text(int address) const
{
    return box(address)->text();
}

QString Harness::status() const
{
    return find<QLabel>("StatusLine")->text();
}

void Harness::type(int address, const QString &keys)
{
    QTest::keyClicks(box(address), keys);
}

void Harness::click(const char *button)
{
    find<QAbstractButton>(button)->click();
}

QString commandStates(const QWidget &form)
{
    QString states;
    for (const char *name : {"WriteRegCommand", "ReadRegCommand", "ReadAllRegisters"})
        states += form.findChild<QWidget *>(QLatin1String(name))->isEnabled() ? '1' : '0';
    return states + (form.findChild<QAction *>(QStringLiteral("nVideoModeInput"))->isEnabled() ? '1' : '0');
}

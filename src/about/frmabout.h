#pragma once

#include "sysinfo.h"

#include <QDialog>

// "About KV7105EVKit": the program's name, version and description, and the
// button that starts the system-information tool. Closing discards it.
class frmAbout : public QDialog
{
    Q_OBJECT

public:
    frmAbout(Registry &registry, ProgramLauncher &launcher, MessageBoxes &messages, QWidget *parent = nullptr);

    // Closed: the next opening needs a new box.
    bool discarded() const { return m_discarded; }

    void cmdSysInfo_Click();

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    void discard();

    SysInfo m_sysInfo;
    bool m_discarded = false;
};

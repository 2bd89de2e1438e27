#pragma once

#include <QWidget>

// Shows a modeless window, or brings it forward when it is up.
inline void bringUp(QWidget *window)
{
    window->show();
    window->raise();
    window->activateWindow();
}

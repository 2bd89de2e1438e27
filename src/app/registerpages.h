#pragma once

#include <QTabWidget>

// The tab control SSTab1 with its three pages, each one captionless frame:
// "User Registers" (Frame5, with the logo), "Test Registers" (Frame1) and
// "Debug" (Frame2, three check boxes with their text boxes, never used).
class RegisterPages : public QTabWidget
{
    Q_OBJECT

public:
    RegisterPages(const QSize &size, QWidget *parent);

    QWidget *userFrame() const { return m_userFrame; }
    QWidget *testFrame() const { return m_testFrame; }
    // Leaves "User Registers" the only page shown; "Debug" for good.
    void hideTestAndDebugPages();
    // Tools > Test Registers: the page shown and usable, or hidden again.
    void showTestPage(bool shown);

private:
    QWidget *addPage(const QString &caption, const QString &frameName);
    void addLogo();
    static void setupDebugPage(QWidget *frame);

    QWidget *m_userFrame = nullptr;
    QWidget *m_testFrame = nullptr;
};

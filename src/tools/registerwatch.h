#pragma once

#include <QDialog>
#include <QList>

class BoardLink;
class CommandLock;
class QLabel;
class QLineEdit;
class QPushButton;
class QSpinBox;
class QTimer;
class RegisterBoxes;
class RegisterEngine;

// Tools > Watch Registers: while on, reads the chosen registers at an
// interval into their boxes (without writing them), and highlights a box
// whose value changed. A running command makes it wait for the next turn; a
// link failure turns it off. Off at start, and off when its window closes.
class RegisterWatch : public QDialog
{
    Q_OBJECT

public:
    // How long a changed box stays highlighted, in milliseconds.
    static constexpr int HighlightTime = 1500;

    RegisterWatch(RegisterBoxes &boxes, BoardLink &link, RegisterEngine &engine, CommandLock &lock,
                  QWidget *parent = nullptr);

    bool isOn() const;
    void setOn(bool on);
    // One turn: a link reset, then the reads. The timer calls it.
    void readNow();

    QLineEdit *registersBox() const { return m_registers; }
    QSpinBox *intervalBox() const { return m_interval; }
    QTimer *timer() const { return m_timer; }

signals:
    void status(const QString &text);

protected:
    void hideEvent(QHideEvent *event) override;

private:
    class Turn;

    void toggled(bool on);
    void stop(const QString &why);
    void highlight(int address);

    RegisterBoxes &m_boxes;
    BoardLink &m_link;
    RegisterEngine &m_engine;
    CommandLock &m_lock;
    QLineEdit *m_registers = nullptr;
    QSpinBox *m_interval = nullptr;
    QPushButton *m_watch = nullptr;
    QLabel *m_note = nullptr;
    QTimer *m_timer = nullptr;
    QList<int> m_addresses;
};

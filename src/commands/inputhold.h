#pragma once

#include <QObject>
#include <QPointer>

#include <deque>
#include <memory>

class CommandLock;
class QEvent;
class QWidget;

// One exchange with the board at a time: keys and clicks aimed at the
// register panel while an exchange runs are held, and replayed in the order
// given once the board is idle. A key typed during a box's write lands after
// that write instead of starting a second exchange inside it. Only input the
// control would take at that moment is held: input aimed at a disabled or
// hidden one does nothing, now or later. Painting, the menus and their
// shortcuts stay live.
class InputHold : public QObject
{
    Q_OBJECT

public:
    InputHold(QWidget *panel, CommandLock &lock, QObject *parent = nullptr);
    ~InputHold() override;

    // Delivers what was held, in order, as long as the board stays idle.
    void replay();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    bool aimsAtPanel(const QWidget *widget) const;

    QWidget *m_panel;
    CommandLock &m_lock;
    std::deque<std::pair<QPointer<QObject>, std::unique_ptr<QEvent>>> m_held;
    const QEvent *m_replaying = nullptr; // the held event being delivered now
};

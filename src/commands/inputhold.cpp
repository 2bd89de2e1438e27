#include "inputhold.h"

#include "commandlock.h"

#include <QCoreApplication>
#include <QEvent>
#include <QWidget>

namespace {

bool isUserInput(QEvent::Type type)
{
    switch (type) {
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::InputMethod:
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseMove:
    case QEvent::Wheel:
        return true;
    default:
        return false;
    }
}

} // namespace

InputHold::InputHold(QWidget *panel, CommandLock &lock, QObject *parent)
    : QObject(parent)
    , m_panel(panel)
    , m_lock(lock)
{
    QCoreApplication::instance()->installEventFilter(this);
}

InputHold::~InputHold()
{
    QCoreApplication::instance()->removeEventFilter(this);
}

bool InputHold::aimsAtPanel(const QWidget *widget) const
{
    return widget && (widget == m_panel || m_panel->isAncestorOf(widget));
}

bool InputHold::eventFilter(QObject *watched, QEvent *event)
{
    auto *widget = qobject_cast<QWidget *>(watched);
    if (event == m_replaying || !isUserInput(event->type()) || !aimsAtPanel(widget))
        return false;
    // A greyed-out or hidden control takes no input: a click on it is gone,
    // not kept until it is enabled again.
    if (!widget->isEnabled() || !widget->isVisibleTo(widget->window()))
        return true;
    // Behind input already held nothing may overtake, even once idle.
    if (!m_lock.busy() && m_held.empty())
        return false;
    // A plain mouse move carries nothing the panel acts on.
    if (event->type() == QEvent::MouseMove && m_held.empty())
        return false;
    m_held.emplace_back(watched, std::unique_ptr<QEvent>(event->clone()));
    return true;
}

void InputHold::replay()
{
    while (!m_held.empty() && !m_lock.busy()) {
        auto [target, event] = std::move(m_held.front());
        m_held.pop_front();
        if (!target)
            continue;
        m_replaying = event.get();
        QCoreApplication::sendEvent(target, event.get());
        m_replaying = nullptr;
    }
}

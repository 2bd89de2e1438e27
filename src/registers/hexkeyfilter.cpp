#include "hexkeyfilter.h"

#include <QKeyEvent>
#include <QLineEdit>

int hexKeyFilter(int code)
{
    if (code >= 'a' && code <= 'z')
        code -= 'a' - 'A';
    if (code == 13 || code == 8)
        return code;
    if ((code >= '0' && code <= '9') || (code >= 'A' && code <= 'F'))
        return code;
    return 0;
}

HexKeyFilter::HexKeyFilter(QObject *parent)
    : QObject(parent)
{}

void HexKeyFilter::watch(QLineEdit *box, int typingLimit)
{
    m_limits.insert(box, typingLimit);
    box->installEventFilter(this);
}

int HexKeyFilter::typingLimit(const QLineEdit *box) const
{
    return m_limits.value(box, 0);
}

namespace {

// Keys that move the cursor or the focus, or delete forward, type no character.
bool typesNoCharacter(const QKeyEvent *key)
{
    const QString text = key->text();
    return text.isEmpty() || key->key() == Qt::Key_Delete || key->key() == Qt::Key_Tab
           || key->key() == Qt::Key_Backtab || key->key() == Qt::Key_Escape;
}

} // namespace

bool HexKeyFilter::eventFilter(QObject *watched, QEvent *event)
{
    auto *box = qobject_cast<QLineEdit *>(watched);
    if (!box)
        return false;
    // Ctrl shortcuts of the window (Ctrl+S, Ctrl+L, Ctrl+X) win over the
    // box's own editing keys, as they do everywhere else in the window.
    if (event->type() == QEvent::ShortcutOverride)
        return static_cast<QKeyEvent *>(event)->modifiers() & Qt::ControlModifier;
    if (event->type() != QEvent::KeyPress)
        return false;
    const auto *key = static_cast<QKeyEvent *>(event);
    if (typesNoCharacter(key) || key->text().size() != 1)
        return false;
    const int typed = key->text().at(0).unicode();
    const int code = hexKeyFilter(typed);
    if (code == 0)
        return true;
    if (code == 13 || code == 8)
        return false;
    const int limit = typingLimit(box);
    if (limit > 0 && box->text().size() - box->selectedText().size() >= limit)
        return true;
    if (code == typed)
        return false;
    box->insert(QString(QChar(code)));
    return true;
}

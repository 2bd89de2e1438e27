#pragma once

#include <QString>

// Every message box of the program goes through this, so that tests read the
// text and caption instead of blocking on a modal window.
class MessageBoxes
{
public:
    enum class Icon { None, Exclamation };

    virtual ~MessageBoxes() = default;
    // Modal, OK button only; returns when the user has closed it.
    virtual void show(const QString &text, const QString &caption, Icon icon) = 0;
    // The usual box: the program's title as caption, no icon.
    void show(const QString &text) { show(text, programTitle(), Icon::None); }

    // Caption of every message box that gives none of its own.
    static QString programTitle() { return QStringLiteral("KV71xx"); }
};

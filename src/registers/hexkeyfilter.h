#pragma once

#include <QHash>
#include <QObject>

class QLineEdit;

// The one key rule of every box that takes hexadecimal input: the typed
// character is upper-cased; Enter (13) and Backspace (8) pass; any other
// character outside 0-9 and A-F becomes 0, which discards it.
int hexKeyFilter(int code);

// Applies hexKeyFilter to each typed character of the boxes it watches, and
// their typing limit. The limit binds typing only: the program may put a
// longer text into a box (the Write button copies Data as typed).
class HexKeyFilter : public QObject
{
    Q_OBJECT

public:
    explicit HexKeyFilter(QObject *parent = nullptr);

    void watch(QLineEdit *box, int typingLimit = 0);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    int typingLimit(const QLineEdit *box) const;

    QHash<const QObject *, int> m_limits;
};

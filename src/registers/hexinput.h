#pragma once

#include <QValidator>

class QLineEdit;

// Key codes that pass the key filter unchanged.
constexpr int KeyReturn = 13;
constexpr int KeyBackspace = 8;

// The one key rule of every box that takes hexadecimal input: the typed
// character is upper-cased; Enter and Backspace pass; any other character
// outside 0-9 and A-F becomes 0, which discards it.
int hexKeyFilter(int code);

// Applies the key rule to everything the user puts into a box, however it
// arrives (typing, paste, drag and drop): only hexadecimal digits, upper-
// cased, and never more characters than the box's limit. Deleting is always
// allowed. Text the program sets passes unchanged: the Write button may copy
// "005" into a two-character box, and a read shows what the board sent.
class HexInput : public QValidator
{
    Q_OBJECT

public:
    // The box takes hexadecimal input from here on; limit 0 means none.
    static void attach(QLineEdit *box, int limit = 0);
    // Sets the box's text as the program does, past the user's rules.
    static void setProgramText(QLineEdit *box, const QString &text);

    State validate(QString &input, int &pos) const override;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    HexInput(QLineEdit *box, int limit);

    int m_limit;
    QString m_current; // the box's text before the edit being validated
    bool m_programSetting = false;
};

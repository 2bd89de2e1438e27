#include "hexinput.h"

#include "link/hex.h"

#include <QKeyEvent>
#include <QLineEdit>

int hexKeyFilter(int code)
{
    if (code >= 'a' && code <= 'z')
        code -= 'a' - 'A';
    if (code == KeyReturn || code == KeyBackspace)
        return code;
    return code < 0x80 && hexDigitValue(QChar(code)) >= 0 ? code : 0;
}

HexInput::HexInput(QLineEdit *box, int limit)
    : QValidator(box)
    , m_limit(limit)
    , m_current(box->text())
{
    connect(box, &QLineEdit::textChanged, this, [this](const QString &text) { m_current = text; });
    // Ctrl shortcuts of the window (Ctrl+S, Ctrl+L, Ctrl+X) win over the
    // box's own editing keys, as they do everywhere else in the window.
    box->installEventFilter(this);
}

void HexInput::attach(QLineEdit *box, int limit)
{
    box->setValidator(new HexInput(box, limit));
}

void HexInput::setProgramText(QLineEdit *box, const QString &text)
{
    auto *input = qobject_cast<HexInput *>(const_cast<QValidator *>(box->validator()));
    if (input)
        input->m_programSetting = true;
    box->setText(text);
    if (input)
        input->m_programSetting = false;
}

QValidator::State HexInput::validate(QString &input, int &) const
{
    if (m_programSetting)
        return Acceptable;
    // What the user added is what lies between the parts the edit kept.
    int prefix = 0;
    while (prefix < input.size() && prefix < m_current.size() && input.at(prefix) == m_current.at(prefix))
        ++prefix;
    int suffix = 0;
    while (suffix < input.size() - prefix && suffix < m_current.size() - prefix
           && input.at(input.size() - 1 - suffix) == m_current.at(m_current.size() - 1 - suffix))
        ++suffix;
    const int added = input.size() - prefix - suffix;
    if (added == 0)
        return Acceptable;
    if (m_limit > 0 && input.size() > m_limit)
        return Invalid;
    for (int i = prefix; i < prefix + added; ++i) {
        const int code = hexKeyFilter(input.at(i).unicode());
        if (code == 0 || code == KeyReturn || code == KeyBackspace)
            return Invalid;
        input[i] = QChar(code);
    }
    return Acceptable;
}

bool HexInput::eventFilter(QObject *, QEvent *event)
{
    if (event->type() == QEvent::ShortcutOverride)
        return static_cast<QKeyEvent *>(event)->modifiers() & Qt::ControlModifier;
    return false;
}

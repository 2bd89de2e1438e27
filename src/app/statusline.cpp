#include "statusline.h"

#include <QTextLayout>

StatusLine::StatusLine(QWidget *parent)
    : QLabel(parent)
{
    // Two lines always: the window keeps its size whatever the text.
    setFixedHeight(2 * fontMetrics().lineSpacing() + 2);
    setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    setTextFormat(Qt::PlainText);
}

void StatusLine::setStatus(const QString &text)
{
    m_text = text;
    fit();
}

void StatusLine::resizeEvent(QResizeEvent *event)
{
    QLabel::resizeEvent(event);
    fit();
}

void StatusLine::fit()
{
    const int width = contentsRect().width();
    QTextLayout layout(m_text, font());
    layout.beginLayout();
    QTextLine first = layout.createLine();
    if (first.isValid())
        first.setLineWidth(width);
    layout.endLayout();
    const int firstLength = first.isValid() ? first.textLength() : int(m_text.size());
    if (firstLength >= m_text.size()) {
        setText(m_text);
        setToolTip(QString());
        return;
    }
    const QString rest = m_text.mid(firstLength);
    const QString second = fontMetrics().elidedText(rest, Qt::ElideRight, width);
    setText(m_text.left(firstLength).trimmed() + QLatin1Char('\n') + second);
    setToolTip(second == rest ? QString() : m_text);
}

#include "printedtext.h"

#include <QEvent>
#include <QPainter>

PrintedText::PrintedText(QWidget *parent)
    : QWidget(parent)
{
    setObjectName(QStringLiteral("PrintedText"));
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setGeometry(parent->rect());
    raise();
    parent->installEventFilter(this);
}

void PrintedText::print(const QString &line)
{
    if (m_currentY < height())
        m_lines.append({line, m_currentY});
    m_currentY += fontMetrics().height();
    update();
}

// A widget added to the window later would cover the text.
bool PrintedText::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::ChildAdded)
        raise();
    else if (event->type() == QEvent::Resize)
        setGeometry(parentWidget()->rect());
    return QWidget::eventFilter(watched, event);
}

void PrintedText::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setPen(palette().color(QPalette::WindowText));
    for (const Line &line : m_lines)
        painter.drawText(0, line.y + fontMetrics().ascent(), line.text);
}

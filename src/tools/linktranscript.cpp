#include "linktranscript.h"

#include "link/hex.h"

#include <QPlainTextEdit>
#include <QTextBlock>
#include <QTime>
#include <QTimer>

LinkTranscript::LinkTranscript(QPlainTextEdit *view, bool refreshLater)
    : m_view(view)
{
    if (!refreshLater)
        return;
    m_refresh = new QTimer(view);
    m_refresh->setSingleShot(true);
    m_refresh->setInterval(100);
    QObject::connect(m_refresh, &QTimer::timeout, view, [this] { refresh(); });
}

QString LinkTranscript::escaped(const QByteArray &bytes)
{
    QString text;
    for (const char c : bytes) {
        if (c == '\r')
            text += QStringLiteral("\\r");
        else if (c == '\n')
            text += QStringLiteral("\\n");
        else if (c == '\\')
            text += QStringLiteral("\\\\");
        else if (c >= ' ' && c <= '~')
            text += QLatin1Char(c);
        else
            text += QStringLiteral("\\x") + Hex_Digits(quint8(c), 2);
    }
    return text;
}

QString LinkTranscript::now()
{
    return QTime::currentTime().toString(QStringLiteral("hh:mm:ss.zzz"));
}

void LinkTranscript::exchangeStarted(const QString &port)
{
    // Its line appears with its first character, so that a port that did
    // not open shows only its failure.
    closeLine();
    m_port = port;
}

void LinkTranscript::openLine()
{
    if (m_lineOpen)
        return;
    m_time = now();
    m_sent.clear();
    m_received.clear();
    m_lineOpen = true;
    m_view->appendPlainText(QString());
}

void LinkTranscript::sent(const QByteArray &bytes)
{
    openLine();
    m_sent += escaped(bytes);
    changed();
}

void LinkTranscript::received(const QByteArray &bytes)
{
    openLine();
    m_received += escaped(bytes);
    changed();
}

void LinkTranscript::changed()
{
    if (!m_refresh)
        refresh();
    else if (!m_refresh->isActive())
        m_refresh->start();
}

void LinkTranscript::failed(const QString &what)
{
    closeLine();
    m_view->appendPlainText(QStringLiteral("%1 %2 %3").arg(now(), m_port, what));
}

void LinkTranscript::refresh()
{
    if (m_refresh)
        m_refresh->stop();
    if (!m_lineOpen)
        return;
    QTextCursor cursor(m_view->document()->lastBlock());
    cursor.movePosition(QTextCursor::EndOfBlock, QTextCursor::KeepAnchor);
    cursor.insertText(QStringLiteral("%1 %2 sent \"%3\" received \"%4\"").arg(m_time, m_port, m_sent, m_received));
}

void LinkTranscript::closeLine()
{
    refresh();
    m_lineOpen = false;
}

QStringList LinkTranscript::lines()
{
    refresh();
    const QString text = m_view->toPlainText();
    return text.isEmpty() ? QStringList() : text.split(QLatin1Char('\n'));
}

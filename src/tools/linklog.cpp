#include "linklog.h"

#include "platform/savefile.h"
#include "link/boardlink.h"
#include "platform/filechooser.h"
#include "platform/messageboxes.h"

#include <QDir>
#include <QHBoxLayout>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

LinkLog::LinkLog(BoardLink &link, FileChooser &dialog, MessageBoxes &messages, QWidget *parent)
    : QWidget(parent, Qt::Window)
    , m_link(link)
    , m_dialog(dialog)
    , m_messages(messages)
    , m_view(new QPlainTextEdit(this))
    , m_transcript(m_view, true)
{
    setWindowTitle(tr("Link Log"));
    m_view->setObjectName(QStringLiteral("linkLogText"));
    m_view->setReadOnly(true);
    m_view->setLineWrapMode(QPlainTextEdit::NoWrap);
    m_view->setMaximumBlockCount(MaxLines);
    m_view->setFont(QFont(QStringLiteral("monospace")));

    auto *clearButton = new QPushButton(tr("&Clear"), this);
    clearButton->setObjectName(QStringLiteral("clearLog"));
    auto *saveButton = new QPushButton(tr("&Save..."), this);
    saveButton->setObjectName(QStringLiteral("saveLog"));
    connect(clearButton, &QPushButton::clicked, this, &LinkLog::clear);
    connect(saveButton, &QPushButton::clicked, this, &LinkLog::save);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(clearButton);
    buttons->addWidget(saveButton);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_view);
    layout->addLayout(buttons);
    resize(640, 360);
}

void LinkLog::clear()
{
    m_transcript.closeLine();
    m_view->clear();
}

void LinkLog::save()
{
    FileChooser::Request request;
    request.kind = FileChooser::Kind::Save;
    request.fileName = QStringLiteral("linklog.txt");
    request.defaultSuffix = QStringLiteral("txt");
    request.filter = QStringLiteral("Text File (*.txt)|*.txt|All Files (*.*)|*.*|");
    request.confirmOverwrite = true;
    const std::optional<QString> path = m_dialog.choose(request);
    if (!path)
        return;
    m_transcript.refresh();
    SaveFile file(*path);
    file.setWaitForReader(false); // the window would hang
    if (!file.open() || !file.write(m_view->toPlainText().toLatin1() + '\n') || !file.commit())
        m_messages.show(tr("Cannot save %1: %2").arg(QDir::toNativeSeparators(*path), file.errorString()));
}

void LinkLog::showEvent(QShowEvent *event)
{
    m_link.addMonitor(&m_transcript);
    QWidget::showEvent(event);
}

void LinkLog::hideEvent(QHideEvent *event)
{
    m_link.removeMonitor(&m_transcript);
    m_transcript.closeLine();
    QWidget::hideEvent(event);
}

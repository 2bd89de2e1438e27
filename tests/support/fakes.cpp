#include "fakes.h"

#include <QCoreApplication>

void FakeClock::pause(double seconds)
{
    if (m_log)
        m_log->add(QStringLiteral("pause %1").arg(seconds));
    m_now += seconds;
    if (onWait)
        onWait();
}

void FakeClock::processEvents()
{
    if (m_log)
        m_log->add(QStringLiteral("yield"));
    QCoreApplication::processEvents();
}

void FakeClock::waitForEvents(double deadline)
{
    ++blockingWaits;
    QCoreApplication::processEvents();
    if (onWait)
        onWait();
    m_now = qMax(m_now, deadline);
}

void FakeMessageBoxes::show(const QString &text, const QString &caption, Icon icon)
{
    if (m_log)
        m_log->add(QStringLiteral("message ") + text);
    shown.append({text, caption, icon, m_clock ? m_clock->seconds() : 0.0});
}

QStringList FakeMessageBoxes::texts() const
{
    QStringList result;
    for (const Shown &s : shown)
        result.append(s.text);
    return result;
}

long FakeRegistry::RegOpenKeyExA(Key root, const QString &subKey, quint32, quint32 access,
                                 Key *result)
{
    calls.append(QStringLiteral("open %1 %2").arg(subKey).arg(access, 0, 16));
    *result = 0;
    if (root != LocalMachine || !keys.contains(subKey))
        return FileNotFound;
    m_opened.append(subKey);
    *result = Key(m_opened.size());
    return Success;
}

long FakeRegistry::RegQueryValueExA(Key key, const QString &valueName, quint32 *type,
                                    QByteArray *buffer, quint32 *size)
{
    calls.append(QStringLiteral("query ") + valueName);
    const QMap<QString, Value> values = keys.value(m_opened.value(int(key) - 1));
    if (!values.contains(valueName))
        return FileNotFound;
    const Value value = values.value(valueName);
    if (quint32(value.data.size()) > *size)
        return MoreData;
    *type = value.type;
    *size = quint32(value.data.size());
    buffer->replace(0, value.data.size(), value.data);
    return Success;
}

long FakeRegistry::RegCloseKey(Key)
{
    calls.append(QStringLiteral("close"));
    return Success;
}

bool FakeLauncher::startDetached(const QString &path)
{
    if (!files.contains(path))
        return false;
    started.append(path);
    return true;
}

#pragma once

#include "singleinstance.h"

#include <QLockFile>

// One copy per user: a lock file in the user's temporary folder. A lock left
// by a copy that crashed names a process that no longer runs, or this one,
// and does not count.
class LockFileInstance : public SingleInstance
{
public:
    explicit LockFileInstance(const QString &path = defaultPath());

    static QString defaultPath();
    // Takes the lock when no other copy holds it. Only a lock held by another
    // live copy counts: a lock that cannot be taken for another reason (an
    // unwritable folder, say) lets the program start and says why on stderr.
    bool anotherCopyRunning() override;
    void release() { m_lock.unlock(); }

private:
    bool namesThisProcess() const;

    QLockFile m_lock;
};

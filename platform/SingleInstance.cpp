#include "SingleInstance.h"

#include <QDir>
#include <QFile>

namespace {

// Without a runtime folder the lock goes into a folder of the user's own that
// nobody else may write: in a shared one such as /tmp another user could plant
// the lock file and keep the program from starting.
QString privateFolder(const QString &name)
{
    QString state = qEnvironmentVariable("XDG_STATE_HOME");
    if (state.isEmpty())
        state = QDir::homePath() + QStringLiteral("/.local/state");
    const QString folder = state + u'/' + name;
    QDir().mkpath(folder);
    QFile::setPermissions(folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    return folder;
}

} // namespace

SingleInstance::SingleInstance(const QString &name)
    : m_path(defaultLockPath(name))
{
}

SingleInstance::~SingleInstance()
{
    release();
}

QString SingleInstance::defaultLockPath(const QString &name)
{
    QString dir = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (dir.isEmpty() || !QDir(dir).exists())
        dir = privateFolder(name);
    QString user = qEnvironmentVariable("USER");
    if (user.isEmpty())
        user = QStringLiteral("user");
    return dir + u'/' + name + u'-' + user + QStringLiteral(".lock");
}

bool SingleInstance::tryAcquire()
{
    if (m_lock && m_lock->isLocked())
        return true;
    m_lock = std::make_unique<QLockFile>(m_path);
    // A running copy may hold the lock for days; only a dead owner makes it stale.
    m_lock->setStaleLockTime(0);
    if (m_lock->tryLock(0))
        return true;
    if (m_lock->error() == QLockFile::LockFailedError) {
        qint64 pid = 0;
        QString host, app;
        // tryLock already removes a lock whose process is gone; this catches
        // a lock file that cannot even be read.
        if (!m_lock->getLockInfo(&pid, &host, &app) && m_lock->removeStaleLockFile())
            return m_lock->tryLock(0);
    }
    return false;
}

void SingleInstance::release()
{
    if (m_lock)
        m_lock->unlock();
    m_lock.reset();
}

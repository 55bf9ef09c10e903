#pragma once

#include <QLockFile>
#include <QString>
#include <memory>

// Keeps a second copy of the program from starting for the same user: a lock
// file in the user's runtime folder. A lock left by a copy that crashed names a
// process that no longer runs and is taken over.
class SingleInstance
{
public:
    explicit SingleInstance(const QString &name);
    ~SingleInstance();

    bool tryAcquire(); // true when this is the only copy
    void release();
    QString lockPath() const { return m_path; }

    static QString defaultLockPath(const QString &name);

private:
    QString m_path;
    std::unique_ptr<QLockFile> m_lock;
};

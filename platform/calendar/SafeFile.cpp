#include "SafeFile.h"

#include "BoundedFile.h"

#include <QFile>
#include <QFileInfo>
#include <QTemporaryFile>

#include <cstdio>

std::function<void()> SafeFile::beforeReplace;

namespace {
constexpr int kAttempts = 5;

std::optional<QByteArray> readAll(const QString &path)
{
    return BoundedFile::read(path);
}
} // namespace

SafeFile::Result SafeFile::update(const QString &path, const Transform &transform)
{
    const QString target = QFileInfo(path).canonicalFilePath();
    if (target.isEmpty())
        return Failed;
    for (int attempt = 0; attempt < kAttempts; ++attempt) {
        const std::optional<QByteArray> before = readAll(target);
        if (!before)
            return Failed;
        const std::optional<QByteArray> after = transform(*before);
        if (!after)
            return Refused;
        const QFileInfo info(target);
        QTemporaryFile temp(info.absolutePath() + QStringLiteral("/.") + info.fileName() + QStringLiteral(".XXXXXX"));
        if (!temp.open() || temp.write(*after) != after->size() || !temp.flush())
            return Failed;
        temp.setPermissions(QFile::permissions(target));
        if (beforeReplace)
            beforeReplace();
        if (readAll(target) != before)
            continue; // another program wrote meanwhile: start again from its text
        if (std::rename(QFile::encodeName(temp.fileName()).constData(), QFile::encodeName(target).constData()) != 0)
            return Failed;
        temp.setAutoRemove(false);
        return Done;
    }
    return Failed;
}

bool SafeFile::createNew(const QString &path, const QByteArray &bytes)
{
    QFile out(path);
    if (!out.open(QIODevice::WriteOnly | QIODevice::NewOnly))
        return false;
    return out.write(bytes) == bytes.size() && out.flush();
}

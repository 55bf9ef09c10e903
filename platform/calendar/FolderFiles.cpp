#include "FolderFiles.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSet>

#include <algorithm>

#include <sys/stat.h>

namespace {
constexpr int kNamedInWarning = 5;

void warn(QStringList &warnings, const QString &why, const QStringList &names)
{
    if (names.isEmpty())
        return;
    QString text = why + names.mid(0, kNamedInWarning).join(QStringLiteral(", "));
    if (names.size() > kNamedInWarning)
        text += QStringLiteral(" and %1 more").arg(names.size() - kNamedInWarning);
    warnings << text;
}
QString stampOf(const struct stat &st, qint64 size)
{
    return QStringLiteral("%1:%2:%3:%4.%5")
        .arg(st.st_dev)
        .arg(st.st_ino)
        .arg(size)
        .arg(st.st_mtim.tv_sec)
        .arg(st.st_mtim.tv_nsec);
}
} // namespace

FolderFiles::Listing FolderFiles::list(const QString &path, const QStringList &patterns, qint64 maxTotal)
{
    Listing listing;
    const QFileInfo info(path);
    if (path.isEmpty() || !info.exists())
        return listing;
    // Named pipes and devices too: they are named in the log, not read. A
    // file named alone that is too large is named by the reader.
    const bool folder = info.isDir();
    const QFileInfoList entries = folder ? QDir(path).entryInfoList(patterns, QDir::Files | QDir::System, QDir::Name)
                                         : QFileInfoList{info};
    QSet<QPair<quint64, quint64>> seen;
    QStringList again, tooMuch;
    qint64 left = maxTotal;
    for (const QFileInfo &entry : entries) {
        struct stat st;
        if (::stat(QFile::encodeName(entry.absoluteFilePath()).constData(), &st) != 0)
            continue; // gone, or a link to nothing
        if (seen.contains({st.st_dev, st.st_ino})) {
            again << entry.fileName();
            continue;
        }
        seen.insert({st.st_dev, st.st_ino});
        const qint64 size = S_ISREG(st.st_mode) ? qint64(st.st_size) : 0;
        if (folder && size > left) {
            tooMuch << entry.fileName();
            continue;
        }
        listing.files.append({entry.absoluteFilePath(), left, stampOf(st, size)});
        left -= std::min(size, left);
    }
    const QString folderName = info.absoluteFilePath();
    warn(listing.leftOut, folderName + QStringLiteral(": other names of a file read already, left out: "), again);
    warn(listing.leftOut,
         folderName + QStringLiteral(": its files come to more than %1 MB together; left out: ").arg(maxTotal >> 20),
         tooMuch);
    return listing;
}

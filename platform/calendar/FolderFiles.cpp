#include "FolderFiles.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QSet>

#include <algorithm>
#include <vector>

#include <sys/stat.h>

namespace {
constexpr int kNamedInWarning = 5;
// A calendar or address book is a few files, each looked at on every check;
// a folder of a million is not listed whole.
constexpr int kMostFiles = 2000;
// Past so many names the rest of a folder is not looked at.
constexpr int kMostNames = 1000000;

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

// The first files of a folder by name. Only so many names are held while it
// is listed: the largest goes whenever a smaller one comes.
QFileInfoList firstByName(const QString &path, const QStringList &patterns, bool &more)
{
    std::vector<QString> names; // a max-heap
    QDirIterator it(path, patterns, QDir::Files | QDir::System);
    for (int seen = 0; it.hasNext() && seen < kMostNames; ++seen) {
        QString name = QFileInfo(it.next()).fileName();
        if (names.size() == size_t(kMostFiles)) {
            more = true;
            if (!(name < names.front()))
                continue;
            std::pop_heap(names.begin(), names.end());
            names.back() = std::move(name);
        } else {
            names.push_back(std::move(name));
        }
        std::push_heap(names.begin(), names.end());
    }
    std::sort_heap(names.begin(), names.end());
    QFileInfoList entries;
    const QDir dir(path);
    for (const QString &name : names)
        entries << QFileInfo(dir.filePath(name));
    return entries;
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
    QFileInfoList entries{info};
    if (folder) {
        bool more = false;
        entries = firstByName(path, patterns, more);
        if (more)
            listing.leftOut << QStringLiteral("%1: more than %2 files; only the first %2 by name are read")
                                   .arg(info.absoluteFilePath())
                                   .arg(kMostFiles);
    }
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

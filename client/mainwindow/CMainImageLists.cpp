#include "CMainImageLists.h"

#include "foundation/BuiltInStatus.h"
#include "foundation/MErrorHandler.h"
#include "status/IconArt.h"

#include <QDir>
#include <QImageReader>

namespace {

const QString kSource = QStringLiteral("frmMain.loadImageList");
constexpr qint32 kInvalidPicture = 481;
constexpr qint32 kKeyNotUnique = 35602;

// The image of the icon file that suits the size best (the smallest at least
// that big, else the biggest), scaled to it. Null when the file holds none.
QPixmap readIconFile(const QString &path, int size)
{
    QImageReader reader(path);
    reader.setDecideFormatFromContent(true);
    QImage best;
    const int count = std::max(1, reader.imageCount());
    for (int i = 0; i < count; ++i) {
        if (i > 0 && !reader.jumpToImage(i))
            break;
        const QImage image = reader.read();
        if (image.isNull())
            break;
        const bool bigEnough = image.width() >= size;
        const bool bestBigEnough = !best.isNull() && best.width() >= size;
        if (best.isNull() || (bigEnough && (!bestBigEnough || image.width() < best.width()))
            || (!bigEnough && !bestBigEnough && image.width() > best.width()))
            best = image;
    }
    if (best.isNull())
        return QPixmap();
    return QPixmap::fromImage(best.scaled(size, size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation));
}

} // namespace

QStringList CMainImageLists::toolbarKeys()
{
    return BuiltInStatus::codes(BuiltInStatus::buttons())
           + QStringList{QStringLiteral("MOB"), QStringLiteral("JRN"), QStringLiteral("PHR"), QStringLiteral("HLP"),
                         QStringLiteral("BCK"), QStringLiteral("FWD"), QStringLiteral("REF"), QStringLiteral("STP"),
                         QStringLiteral("TRY"), QStringLiteral("BIM"), QStringLiteral("CHT")};
}

QStringList CMainImageLists::trailingKeys()
{
    return BuiltInStatus::codes(BuiltInStatus::meetingStates())
           + QStringList{QStringLiteral("Qel"), QStringLiteral("ORBIT"), QStringLiteral("NTF"), QStringLiteral("SRH"),
                         QStringLiteral("INF"), QStringLiteral("ICO_MISSING")};
}

QString CMainImageLists::iconFolder(const QString &iconHome, const QString &programFolder)
{
    QString folder = iconHome.trimmed();
    if (folder.isEmpty())
        folder = programFolder + QStringLiteral("/icons/");
    folder.replace(u'\\', u'/');
    if (!folder.endsWith(u'/'))
        folder += u'/';
    return folder;
}

QStringList CMainImageLists::iconFiles(const QString &folder)
{
    // Matched by hand: a name filter would follow the file system's case
    // rules, and ".ICO" counts as well.
    QStringList names;
    const QStringList all = QDir(folder).entryList(QDir::Files | QDir::NoDotAndDotDot, QDir::Name | QDir::IgnoreCase);
    for (const QString &name : all) {
        if (name.size() > 4 && name.endsWith(QLatin1String(".ico"), Qt::CaseInsensitive))
            names.append(name);
    }
    return names;
}

void CMainImageLists::addBuiltIn(const QString &key)
{
    QIcon hot(IconArt::picture(key, 32));
    hot.addPixmap(IconArt::picture(key, 16));
    imghot.add(key, hot);
    img16.add(key, QIcon(IconArt::picture(key, 16)));
}

void CMainImageLists::addFolderIcon(const QString &folder, const QString &fileName)
{
    const QString key = QStringLiteral("ICO") + fileName.left(fileName.size() - 4);
    const bool builtIn = toolbarKeys().contains(key, Qt::CaseInsensitive)
                         || trailingKeys().contains(key, Qt::CaseInsensitive);
    if (builtIn || imghot.contains(key)) {
        WriteErrorLog(kKeyNotUnique, QStringLiteral("Key is not unique in collection: ") + key + QStringLiteral(" (")
                                         + fileName + u')', kSource);
        return;
    }
    const QPixmap large = readIconFile(folder + fileName, 32);
    const QPixmap small = readIconFile(folder + fileName, 16);
    if (large.isNull() || small.isNull()) {
        WriteErrorLog(kInvalidPicture, QStringLiteral("Invalid picture: ") + folder + fileName, kSource);
        return;
    }
    QIcon hot(large);
    hot.addPixmap(small);
    imghot.add(key, hot);
    img16.add(key, QIcon(small));
}

void CMainImageLists::load(const QString &iconFolder)
{
    imghot.clear();
    imgnorm.clear();
    img16.clear();
    const QStringList tools = toolbarKeys();
    for (const QString &key : tools)
        addBuiltIn(key);
    for (const QString &key : tools)
        imgnorm.add(key, QIcon(IconArt::greyPicture(key, 32)));
    if (!iconFolder.isEmpty()) {
        const QStringList files = iconFiles(iconFolder);
        for (const QString &file : files)
            addFolderIcon(iconFolder, file);
    }
    for (const QString &key : IconArt::iconFileKeys()) {
        if (!imghot.contains(key))
            addBuiltIn(key);
    }
    const QStringList trailing = trailingKeys();
    for (const QString &key : trailing)
        addBuiltIn(key);
}

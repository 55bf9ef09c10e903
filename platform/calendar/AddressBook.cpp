#include "AddressBook.h"

#include <QThreadPool>
#include <mutex>

namespace {
// What was read last; reads run one at a time, so two asks in a row read
// the files once.
struct Kept
{
    std::mutex reading;
    QString path;
    QStringList stamps;
    QList<VCardContact> cards;
};

Kept &kept()
{
    static Kept k;
    return k;
}

QStringList stampsOf(const FolderFiles::Listing &listing)
{
    QStringList stamps = listing.leftOut;
    for (const FolderFiles::File &file : listing.files)
        stamps << file.path + u'|' + file.stamp;
    return stamps;
}
} // namespace

AddressBook::Cards AddressBook::readNow(const QString &path)
{
    Kept &k = kept();
    std::lock_guard lock(k.reading);
    const FolderFiles::Listing listing = VCardReader::files(path);
    const QStringList stamps = stampsOf(listing);
    if (path == k.path && stamps == k.stamps)
        return {k.cards, {}};
    Cards read;
    read.cards = VCardReader::read(listing, &read.warnings);
    k.path = path;
    k.stamps = stamps;
    k.cards = read.cards;
    return read;
}

void AddressBook::fetch(const QString &path, QObject *context, Done done)
{
    // Lives as long as the program, so a read that ends late always has
    // somewhere to deliver to; created on the window's thread.
    static QObject *const receiver = new QObject;
    const bool bound = context != nullptr;
    QThreadPool::globalInstance()->start([path, guard = QPointer<QObject>(context), bound, done = std::move(done)] {
        Cards cards = readNow(path);
        QMetaObject::invokeMethod(
            receiver,
            [guard, bound, done, cards = std::move(cards)] {
                if (!bound || guard)
                    done(cards);
            },
            Qt::QueuedConnection);
    });
}

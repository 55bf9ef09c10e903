#include "AddressBook.h"

#include <QDateTime>
#include <QFileInfo>
#include <QHash>
#include <QThreadPool>
#include <mutex>
#include <thread>

namespace {
// The cards last believed, and the files as they were then.
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

// The look-ups waiting for the read that runs.
struct Asked
{
    QString path;
    QPointer<QObject> guard;
    bool bound;
    AddressBook::Done done;
};

struct Reads
{
    std::mutex mutex;
    bool running = false;
    QList<Asked> waiting;
};

Reads &reads()
{
    static Reads r;
    return r;
}

QStringList stampsOf(const FolderFiles::Listing &listing)
{
    QStringList stamps = listing.leftOut;
    for (const FolderFiles::File &file : listing.files)
        stamps << file.path + u'|' + file.stamp;
    return stamps;
}

// Whether no file of the listing changed in the last ms milliseconds.
bool unchangedFor(const FolderFiles::Listing &listing, qint64 ms)
{
    const qint64 now = QDateTime::currentMSecsSinceEpoch();
    for (const FolderFiles::File &file : listing.files)
        if (now - QFileInfo(file.path).lastModified().toMSecsSinceEpoch() < ms)
            return false;
    return true;
}

// Lives as long as the program, so a read that ends late always has
// somewhere to deliver to; created on the window's thread.
QObject *receiver()
{
    static QObject *const object = new QObject;
    return object;
}

void answer(const QList<Asked> &asked, const QHash<QString, AddressBook::Cards> &read)
{
    for (const Asked &a : asked)
        QMetaObject::invokeMethod(
            receiver(),
            [a, cards = read.value(a.path)] {
                if (!a.bound || a.guard)
                    a.done(cards);
            },
            Qt::QueuedConnection);
}

// Reads while look-ups wait: those that asked before a read ends are
// answered by it.
void serve()
{
    Reads &r = reads();
    for (;;) {
        QStringList paths;
        {
            std::lock_guard lock(r.mutex);
            if (r.waiting.isEmpty()) {
                r.running = false;
                return;
            }
            for (const Asked &a : std::as_const(r.waiting))
                if (!paths.contains(a.path))
                    paths << a.path;
        }
        QHash<QString, AddressBook::Cards> read;
        for (const QString &path : std::as_const(paths))
            read.insert(path, AddressBook::readNow(path));
        QList<Asked> answered;
        {
            std::lock_guard lock(r.mutex);
            // Asked for another file during the read: left for the next.
            for (qsizetype i = r.waiting.size() - 1; i >= 0; --i)
                if (read.contains(r.waiting[i].path))
                    answered.prepend(r.waiting.takeAt(i));
        }
        answer(answered, read);
    }
}
} // namespace

AddressBook::Cards AddressBook::readNow(const QString &path)
{
    Kept &k = kept();
    std::lock_guard lock(k.reading);
    const bool known = path == k.path;
    Cards latest;
    for (int attempt = 0; attempt < Attempts; ++attempt) {
        if (attempt > 0)
            std::this_thread::sleep_for(std::chrono::milliseconds(SettledMs));
        const FolderFiles::Listing listing = VCardReader::files(path);
        const QStringList stamps = stampsOf(listing);
        if (known && stamps == k.stamps)
            return {k.cards, {}};
        latest = {};
        bool unfinished = false;
        latest.cards = VCardReader::read(listing, &latest.warnings, &unfinished);
        // A file that ends inside a card, or takes every card away, is most
        // likely half written: believed only once it has stayed so a while.
        const bool doubtful = unfinished || (known && !k.cards.isEmpty() && latest.cards.isEmpty());
        if (stampsOf(VCardReader::files(path)) != stamps
            || !unchangedFor(listing, doubtful ? DoubtfulSettledMs : SettledMs))
            continue;
        k.path = path;
        k.stamps = stamps;
        k.cards = latest.cards;
        return latest;
    }
    // The files never settled: the cards last believed, else the last read.
    return known ? Cards{k.cards, {}} : latest;
}

void AddressBook::fetch(const QString &path, QObject *context, Done done)
{
    receiver();
    Reads &r = reads();
    std::lock_guard lock(r.mutex);
    r.waiting.append({path, QPointer<QObject>(context), context != nullptr, std::move(done)});
    if (r.running)
        return;
    r.running = true;
    QThreadPool::globalInstance()->start(serve);
}

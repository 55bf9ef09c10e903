#pragma once

#include "CMCastUpdate.h"

#include <QHash>
#include <QList>
#include <optional>

// The most recent status updates this copy has sent or received, oldest
// first, at most 100, keyed by the decimal text of their sequence number. It
// tells a stale update from a fresh one and which missed numbers to ask for.
class CMCastWindow
{
public:
    static constexpr int Capacity = 100;

    // Trims the oldest when full, then stores the update unless its key is
    // already held; a held update (and its originator) is never replaced.
    void Add(const CMCastUpdate &update);
    // True when a held update of that user carries a greater sequence number.
    bool NewerUpdateExist(qint32 seq, qint32 userId) const;
    // Drops the updates of the users given that their stored change counter
    // does not back: an update numbered n is stored with counter n + 1, so
    // one numbered at or above the user's counter never reached the database.
    void ForgetUnstored(const QHash<qint32, qint32> &counterOfUser);
    std::optional<CMCastUpdate> Find(const QString &key) const;
    std::optional<CMCastUpdate> Find(qint32 seq) const;
    bool contains(const QString &key) const;
    bool contains(qint32 seq) const;

    int count() const { return int(m_updates.size()); }

private:
    // A key is the decimal text of a number; any other text names no update.
    static std::optional<qint32> seqOfKey(const QString &key);
    int indexOf(qint32 seq) const;

    QList<CMCastUpdate> m_updates; // a hundred entries: a linear scan is cheap
};

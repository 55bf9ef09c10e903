#pragma once

#include <QStringList>

// The notes sent from the note box, most recent first, as the registry keeps
// them: at most 26 entries, empty ones included.
class RecentNotes
{
public:
    static constexpr int MaxEntries = 26;

    // Reads the stored list in place of the one empty entry held until then.
    void load();
    // Puts the note at the top and stores the list. A note already in it
    // (found ignoring case) moves up and takes the new spelling; when the
    // list is full the oldest entry drops. A note holding "#" is not kept:
    // it would read back as two.
    void save(const QString &note);

    const QStringList &entries() const { return m_entries; }
    // The entries a drop-down offers: the non-empty ones, in order.
    QStringList shown() const;

private:
    QStringList m_entries{QString()};
};

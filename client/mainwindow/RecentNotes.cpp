#include "RecentNotes.h"

#include "foundation/MCIFunctions.h"

void RecentNotes::load()
{
    ReadRecentNotesList(m_entries);
}

void RecentNotes::save(const QString &note)
{
    if (note.contains(u'#'))
        return;
    if (m_entries.size() < MaxEntries)
        m_entries.append(QString());
    while (m_entries.size() > MaxEntries)
        m_entries.removeLast();
    qsizetype from = m_entries.size() - 1;
    for (qsizetype i = 0; i < m_entries.size(); ++i) {
        if (m_entries.at(i).compare(note, Qt::CaseInsensitive) == 0) {
            from = i;
            break;
        }
    }
    m_entries.removeAt(from);
    m_entries.prepend(note);
    WriteRecentNotesList(m_entries);
}

QStringList RecentNotes::shown() const
{
    QStringList notes;
    for (const QString &entry : m_entries)
        if (!entry.isEmpty())
            notes << entry;
    return notes;
}

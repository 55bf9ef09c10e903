#pragma once

#include <QString>

#include <atomic>
#include <memory>

// The series the calendar's helper process is expanding, in a page of
// memory both processes map. The helper writes it before each series, with
// no call into the system, so the common check pays nothing for it; the
// program reads which series is under way while it watches the helper's
// processor time, and which one it was once it has ended the helper for
// holding a series too long.
class AnnouncedSeries
{
public:
    struct Series
    {
        QString file;
        QString stamp; // the file's version
        int index = -1; // none: the helper was reading its files or answering
    };

    // The page, made in the program; fd() is handed to the helper.
    static std::unique_ptr<AnnouncedSeries> create();
    // The helper's view of the page it was handed.
    static std::unique_ptr<AnnouncedSeries> open(int fd);
    ~AnnouncedSeries();
    AnnouncedSeries(const AnnouncedSeries &) = delete;
    AnnouncedSeries &operator=(const AnnouncedSeries &) = delete;

    int fd() const { return m_fd; }
    // The helper's side.
    void announce(const QString &file, const QString &stamp, int index);
    void clear();
    // The program's side: a count that moves with every series announced,
    // and what was announced last (read once the helper has stopped).
    quint64 count() const;
    bool seriesUnderWay() const;
    Series last() const;

private:
    struct Page;
    AnnouncedSeries(int fd, Page *page) : m_fd(fd), m_page(page) {}

    int m_fd;
    Page *m_page;
    QString m_file, m_stamp; // written to the page last, in the helper
};

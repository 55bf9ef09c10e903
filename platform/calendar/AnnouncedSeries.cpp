#include "AnnouncedSeries.h"

#include <cstring>
#include <sys/mman.h>
#include <unistd.h>

struct AnnouncedSeries::Page
{
    std::atomic<quint64> count;
    std::atomic<qint32> index;
    char stamp[96];
    char file[4096];
};

namespace {
void copy(char *to, size_t size, const QString &from)
{
    const QByteArray bytes = from.toUtf8();
    const size_t length = std::min(size_t(bytes.size()), size - 1);
    std::memcpy(to, bytes.constData(), length);
    to[length] = '\0';
}

// Told by the text itself, not only its letters: a file's series are all
// told with the same text.
bool same(const QString &a, const QString &b)
{
    return (a.constData() == b.constData() && a.size() == b.size()) || a == b;
}
} // namespace

std::unique_ptr<AnnouncedSeries> AnnouncedSeries::create()
{
    const int fd = memfd_create("tessaly-series", MFD_CLOEXEC);
    if (fd < 0)
        return nullptr;
    if (ftruncate(fd, sizeof(Page)) != 0) {
        close(fd);
        return nullptr;
    }
    auto result = open(fd);
    if (!result) {
        close(fd);
        return nullptr;
    }
    result->m_page->index = -1;
    return result;
}

std::unique_ptr<AnnouncedSeries> AnnouncedSeries::open(int fd)
{
    void *at = mmap(nullptr, sizeof(Page), PROT_READ | PROT_WRITE, MAP_SHARED, fd, 0);
    if (at == MAP_FAILED)
        return nullptr;
    return std::unique_ptr<AnnouncedSeries>(new AnnouncedSeries(fd, static_cast<Page *>(at)));
}

AnnouncedSeries::~AnnouncedSeries()
{
    munmap(m_page, sizeof(Page));
    close(m_fd);
}

void AnnouncedSeries::announce(const QString &file, const QString &stamp, int index)
{
    // Most series follow one of the same file: its name is written once.
    if (!same(file, m_file) || !same(stamp, m_stamp)) {
        copy(m_page->file, sizeof m_page->file, file);
        copy(m_page->stamp, sizeof m_page->stamp, stamp);
        m_file = file;
        m_stamp = stamp;
    }
    m_page->index.store(index, std::memory_order_relaxed);
    m_page->count.fetch_add(1, std::memory_order_release);
}

void AnnouncedSeries::clear()
{
    m_page->index.store(-1, std::memory_order_relaxed);
    m_page->count.fetch_add(1, std::memory_order_release);
}

bool AnnouncedSeries::seriesUnderWay() const
{
    return m_page->index.load(std::memory_order_relaxed) >= 0;
}

quint64 AnnouncedSeries::count() const
{
    return m_page->count.load(std::memory_order_acquire);
}

AnnouncedSeries::Series AnnouncedSeries::last() const
{
    Series s;
    s.index = m_page->index.load(std::memory_order_acquire);
    if (s.index < 0)
        return s;
    s.file = QString::fromUtf8(m_page->file);
    s.stamp = QString::fromUtf8(m_page->stamp);
    return s;
}

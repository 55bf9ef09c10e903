// The text pane's page reader: reads one page from its standard input and
// writes the pane's form of it to its standard output (PageReader). The
// pane starts it for each page, with limits on its processor time and
// memory, and kills it when the page is no longer wanted.
//
//   tessaly-pagereader WIDTH [CHARSET]

#include "PageReader.h"
#include "PageWeight.h"

#include <QGuiApplication>
#include <cstdio>
#include <sys/resource.h>
#include <unistd.h>

namespace {

// What the page may add to the reader's address space, on top of what the
// reader holds once started (its libraries, its fonts). The sanitizers
// reserve terabytes of it, so they go without.
constexpr rlim_t kPageAddressSpace = 512u << 20;

void limitAddressSpace()
{
#if !defined(__SANITIZE_ADDRESS__) && !defined(__SANITIZE_THREAD__)
    long pages = 0;
    if (FILE *statm = std::fopen("/proc/self/statm", "r")) {
        if (std::fscanf(statm, "%ld", &pages) != 1)
            pages = 0;
        std::fclose(statm);
    }
    const rlimit limit{rlim_t(pages) * rlim_t(sysconf(_SC_PAGESIZE)) + kPageAddressSpace,
                       rlim_t(pages) * rlim_t(sysconf(_SC_PAGESIZE)) + kPageAddressSpace};
    if (pages > 0)
        setrlimit(RLIMIT_AS, &limit);
#endif
}

// The page, up to one byte past what is read of it.
QByteArray readPage()
{
    QByteArray page;
    char chunk[65536];
    while (page.size() <= PageWeight::ByteLimit) {
        const ssize_t got = ::read(STDIN_FILENO, chunk, sizeof chunk);
        if (got <= 0)
            break;
        page.append(chunk, qMin(qsizetype(got), PageWeight::ByteLimit + 1 - page.size()));
    }
    return page;
}

bool writeAll(const QByteArray &answer)
{
    for (qsizetype done = 0; done < answer.size();) {
        const ssize_t wrote = ::write(STDOUT_FILENO, answer.constData() + done, size_t(answer.size() - done));
        if (wrote <= 0)
            return false;
        done += wrote;
    }
    return true;
}

} // namespace

int main(int argc, char **argv)
{
    // Lays out offscreen: the reader shows nothing.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    limitAddressSpace();
    const QStringList arguments = app.arguments();
    const int width = arguments.value(1).toInt();
    if (width <= 0 || width > 100000) {
        std::fputs("usage: tessaly-pagereader WIDTH [CHARSET]\n", stderr);
        return 2;
    }
    const PageReader reader(width);
    return writeAll(PageReader::answer(reader.read(readPage(), arguments.value(2).toLatin1()))) ? 0 : 1;
}

// The text pane's page reader: reads one page from its standard input and
// writes the pane's form of it to its standard output (PageReader). The
// pane starts it for each page, with limits on its processor time and
// memory, and kills it when the page is no longer wanted.
//
//   tessaly-pagereader WIDTH
//
// Its input is a line with the charset the page's server declared (empty
// when none; it comes from the network, so it is no argument, where the
// toolkit would read it as one of its own options), then the page.

#include "PageReader.h"
#include "PageWeight.h"

#include <QGuiApplication>
#include <csignal>
#include <cstdio>
#include <sys/resource.h>
#include <sys/wait.h>
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

constexpr qsizetype kCharsetLine = 64;

// The input, up to one byte past what is read of a page.
QByteArray readInput()
{
    QByteArray input;
    char chunk[65536];
    while (input.size() <= kCharsetLine + PageWeight::ByteLimit) {
        const ssize_t got = ::read(STDIN_FILENO, chunk, sizeof chunk);
        if (got <= 0)
            break;
        input.append(chunk, qMin(qsizetype(got), kCharsetLine + PageWeight::ByteLimit + 1 - input.size()));
    }
    return input;
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
        std::fputs("usage: tessaly-pagereader WIDTH < charset line and page\n", stderr);
        return 2;
    }
    const QByteArray input = readInput();
    const qsizetype lineEnd = input.left(kCharsetLine).indexOf('\n');
    const QByteArray page = lineEnd < 0 ? input.left(kCharsetLine + PageWeight::ByteLimit) : input.mid(lineEnd + 1);
    const PageReader reader(width);
    PageReader::Form form;
    int ended = 0;
    if (!reader.readInParts(page, input.left(qMax(lineEnd, qsizetype(0))), form, ended)) {
        // Ends as its last try ended, for the pane to say why.
        if (WIFSIGNALED(ended)) {
            signal(WTERMSIG(ended), SIG_DFL);
            raise(WTERMSIG(ended));
        }
        return WIFEXITED(ended) ? WEXITSTATUS(ended) : 1;
    }
    return writeAll(PageReader::answer(form)) ? 0 : 1;
}

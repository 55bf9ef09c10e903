// The text pane's page reader: reads one page from its standard input and
// writes the pane's form of it to its standard output (PageReader). The
// pane starts it ahead of the page, with limits on its processor time and
// memory; it readies itself and waits for the page, and is killed when the
// page is no longer wanted.
//
//   tessaly-pagereader
//
// Its input is a line with the pane's width and the charset the page's
// server declared
// (none when empty; it comes from the network, so it is no argument, where
// the toolkit would read it as one of its own options), then the page.

#include "PageDocument.h"
#include "PageReader.h"
#include "PageWeight.h"

#include "platform/WholeWrite.h"

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

// The fonts and the layout's own first-use costs paid while the reader
// waits, not while the page does: each heading's size, bold, italic and
// fixed pitch, and the smaller sizes.
void warmUp()
{
    QString page;
    for (const char *tag : {"h1", "h2", "h3", "h4", "h5", "h6", "p", "pre", "th", "small", "sub", "sup"})
        page += QStringLiteral("<%1>a <b>b <i>c</i></b> <i>d</i> <tt>e <b>f</b> <i>g</i></tt></%1>").arg(QLatin1String(tag));
    PageDocument document;
    document.setTextWidth(600);
    document.setHtml(QStringLiteral("<table border=1><tr>%1</tr></table><ul><li>x</li></ul><dl><dt>y<dd>z</dl>").arg(page));
    document.size();
}

constexpr qsizetype kFirstLine = 64;

// The input, up to one byte past what is read of a page.
QByteArray readInput()
{
    QByteArray input;
    char chunk[65536];
    while (input.size() <= kFirstLine + PageWeight::ByteLimit) {
        const ssize_t got = ::read(STDIN_FILENO, chunk, sizeof chunk);
        if (got <= 0)
            break;
        input.append(chunk, qMin(qsizetype(got), kFirstLine + PageWeight::ByteLimit + 1 - input.size()));
    }
    return input;
}

} // namespace

int main(int argc, char **argv)
{
    // Lays out offscreen: the reader shows nothing.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    warmUp();
    limitAddressSpace();
    const QByteArray input = readInput();
    const qsizetype lineEnd = input.left(kFirstLine).indexOf('\n');
    const QList<QByteArray> line = input.left(qMax(lineEnd, qsizetype(0))).split(' ');
    const int width = line.value(0).toInt();
    if (lineEnd < 0 || line.size() < 2 || width <= 0 || width > 100000) {
        std::fputs("usage: tessaly-pagereader < 'WIDTH CHARSET' line and page\n", stderr);
        return 2;
    }
    const QByteArray charset = line.mid(1).join(' ');
    const PageReader reader(width);
    PageReader::Form form;
    int ended = 0;
    if (!reader.readInParts(input.mid(lineEnd + 1), charset, form, ended)) {
        // Ends as its last try ended, for the pane to say why.
        if (PageReader::ranOutOfTime(ended))
            return PageReader::OutOfTime;
        if (WIFSIGNALED(ended)) {
            signal(WTERMSIG(ended), SIG_DFL);
            raise(WTERMSIG(ended));
        }
        return WIFEXITED(ended) ? WEXITSTATUS(ended) : 1;
    }
    return WholeWrite::to(STDOUT_FILENO, PageReader::answer(form)) ? 0 : 1;
}

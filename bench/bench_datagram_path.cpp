// Datagram path: copy A's sendUpdatePulse to copy B's row patched by
// updateView, over real sockets, against the floor of a bare UDP datagram
// between two sockets on the same group. Each datagram carries its sending
// time in its note, so the receiving process measures the latency with the
// clock both share. Runs only inside a private network namespace.

#include "BenchBoard.h"
#include "BenchReport.h"
#include "BenchWindows.h"
#include "foundation/Globals.h"
#include "messaging/MCastPorts.h"
#include "messaging/MCastUdpTransport.h"
#include "platform/Clock.h"
#include "status/CClientHnd.h"
#include "status/StatusMCastReceiver.h"
#include "status/UserListModel.h"
#include "status/UserListPoll.h"
#include "tray/frmSysTray.h"

#include <QApplication>
#include <QEventLoop>
#include <QNetworkInterface>
#include <QProcess>
#include <QTimer>
#include <arpa/inet.h>
#include <cstdio>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

constexpr int kUpdates = 10000;
constexpr int kHalves = 2; // each path runs twice, alternating, so noise falls on both
constexpr qint64 kPeriodNs = 400000;
constexpr int kBoardUsers = 100;
const QByteArray kGroup = "224.168.100.139";

bool insidePrivateNamespace()
{
    for (const QNetworkInterface &nic : QNetworkInterface::allInterfaces())
        if (!nic.flags().testFlag(QNetworkInterface::IsLoopBack))
            return false;
    return true;
}

// The sending time a datagram or a note carries after "t".
qint64 sentAt(const QByteArray &text)
{
    const qsizetype at = text.indexOf("#!t");
    return at < 0 ? -1 : std::atoll(text.constData() + at + 3);
}

void printSamples(const QList<double> &samples)
{
    QByteArray line = "SAMPLES";
    for (double us : samples)
        line += ' ' + QByteArray::number(us, 'f', 1);
    std::printf("%s\n", line.constData());
    std::fflush(stdout);
}

void ready()
{
    std::printf("READY\n");
    std::fflush(stdout);
}

// --- Receivers (child process) ----------------------------------------------

// A bare socket on the group, blocking in recv.
int receiveBare(int count)
{
    const int fd = socket(AF_INET, SOCK_DGRAM, 0);
    const int on = 1;
    setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(MCastPorts::DefaultListen);
    address.sin_addr.s_addr = htonl(INADDR_ANY);
    if (bind(fd, reinterpret_cast<sockaddr *>(&address), sizeof address) != 0)
        qFatal("bind failed");
    ip_mreq membership{};
    inet_pton(AF_INET, kGroup.constData(), &membership.imr_multiaddr);
    membership.imr_interface.s_addr = htonl(INADDR_ANY);
    if (setsockopt(fd, IPPROTO_IP, IP_ADD_MEMBERSHIP, &membership, sizeof membership) != 0)
        qFatal("join failed");
    timeval wait{2, 0};
    setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &wait, sizeof wait);
    ready();
    QList<double> samples;
    char buffer[2048];
    while (samples.size() < count) {
        const ssize_t n = recv(fd, buffer, sizeof buffer, 0);
        if (n <= 0)
            break;
        const qint64 sent = sentAt(QByteArray(buffer, int(n)));
        if (sent > 0)
            samples << double(BenchReport::nowNs() - sent) / 1000.0;
    }
    close(fd);
    printSamples(samples);
    return 0;
}

// A running copy with a board of users on screen: the tray window's sockets,
// the status engine and the user list, whose patched rows are timed.
int receiveFull(int count)
{
    BenchBoard board(kBoardUsers);
    g_lUserID = kBoardUsers;
    g_frmMain = std::make_unique<BoardWindow>();
    g_oClientHnd = std::make_unique<CClientHnd>();
    QString query, node = QStringLiteral("GRP0");
    g_oClientHnd->RefreshUserList(false, true, query, node);
    UserListModel &model = g_oClientHnd->userList().model();
    if (model.rowCount() != kBoardUsers)
        qFatal("the board shows %d users", model.rowCount());

    StatusMCastReceiver receiver;
    auto tray = std::make_unique<frmSysTray>();
    tray->setMCastReceiver(receiver);
    tray->showOffscreen();
    g_frmSysTray = std::move(tray);

    // A loop of its own: quitting the application would close the tray
    // window, which closes the program down.
    QEventLoop loop;
    QList<double> samples;
    QTimer quiet;
    quiet.setSingleShot(true);
    quiet.setInterval(2000);
    QObject::connect(&quiet, &QTimer::timeout, &loop, &QEventLoop::quit);
    QObject::connect(&model, &QAbstractItemModel::dataChanged, &loop, [&](const QModelIndex &topLeft) {
        const qint64 now = BenchReport::nowNs();
        const UserListItem *item = model.item(topLeft.row());
        const qint64 sent = item ? sentAt("#!" + item->Note.toLatin1()) : -1;
        if (sent > 0)
            samples << double(now - sent) / 1000.0;
        quiet.start();
        if (samples.size() >= count)
            loop.quit();
    });
    quiet.start(10000);
    ready();
    loop.exec();
    printSamples(samples);
    g_frmSysTray.reset();
    g_oClientHnd.reset();
    g_frmMain.reset();
    return 0;
}

// --- Senders (parent process) -------------------------------------------------

class Pacer
{
public:
    // Waits for the next slot; idle is run while waiting.
    template <typename Idle>
    void wait(Idle &&idle)
    {
        m_next = m_next == 0 ? BenchReport::nowNs() : m_next + kPeriodNs;
        while (BenchReport::nowNs() < m_next)
            idle();
    }

private:
    qint64 m_next = 0;
};

QByteArray bareDatagram(qint32 seq, qint32 userId)
{
    return QStringLiteral("s%1#!%2#!OUT#!t%3#!46000.5#!46000.5416666667#!")
        .arg(seq)
        .arg(userId)
        .arg(BenchReport::nowNs())
        .toLatin1();
}

void sendBare(int count)
{
    const int fd = socket(AF_INET, SOCK_DGRAM, 0);
    sockaddr_in group{};
    group.sin_family = AF_INET;
    group.sin_port = htons(MCastPorts::DefaultListen);
    inet_pton(AF_INET, kGroup.constData(), &group.sin_addr);
    Pacer pacer;
    for (int i = 0; i < count; ++i) {
        pacer.wait([] {});
        const QByteArray datagram = bareDatagram(kBoardUsers + 1 + i, i % kBoardUsers + 1);
        sendto(fd, datagram.constData(), size_t(datagram.size()), 0, reinterpret_cast<sockaddr *>(&group),
               sizeof group);
    }
    close(fd);
}

// Copy A: its own tray window sends, and its listener hears its own
// datagrams come back, as every copy does.
void sendFull(frmSysTray &tray, int count)
{
    Pacer pacer;
    const double now = Clock::nowDays();
    for (int i = 0; i < count; ++i) {
        pacer.wait([] { QCoreApplication::processEvents(); });
        CMCastUpdate update;
        update.Seq = kBoardUsers + 1 + i;
        update.UserID = i % kBoardUsers + 1;
        update.Status = i % 2 ? QStringLiteral("OUT") : QStringLiteral("LNC");
        update.ETD = now;
        update.ETA = now + 1.0 / 24;
        update.OriginatorID = 1;
        update.Note = u't' + QString::number(BenchReport::nowNs());
        tray.sendUpdatePulse(update);
    }
}

QList<double> samplesFrom(QProcess &child)
{
    if (!child.waitForFinished(120000))
        qFatal("the receiving copy did not finish");
    QList<double> samples;
    for (const QByteArray &line : child.readAllStandardOutput().split('\n')) {
        if (!line.startsWith("SAMPLES"))
            continue;
        const QList<QByteArray> fields = line.split(' ');
        for (qsizetype i = 1; i < fields.size(); ++i)
            samples << fields.at(i).toDouble();
    }
    return samples;
}

template <typename Send>
QList<double> runPath(const char *mode, int count, Send &&send)
{
    QProcess child;
    child.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    child.start(QCoreApplication::applicationFilePath(), {QStringLiteral("--receive"), QString::fromLatin1(mode),
                                                           QString::number(count)});
    if (!child.waitForStarted() || !child.waitForReadyRead(30000) || !child.readLine().startsWith("READY"))
        qFatal("the receiving copy did not start");
    send(count);
    return samplesFrom(child);
}

void report(const QString &path, const QList<double> &full, const QList<double> &bare)
{
    std::fprintf(stderr, "%s: %lld of %d updates patched, %lld of %d bare datagrams\n", qPrintable(path),
                 static_cast<long long>(full.size()), kUpdates, static_cast<long long>(bare.size()), kUpdates);
    const double p50 = BenchReport::median(full), p50Floor = BenchReport::median(bare);
    const double p99 = BenchReport::percentile(full, 0.99), p99Floor = BenchReport::percentile(bare, 0.99);
    const bool complete = full.size() == kUpdates && bare.size() == kUpdates;
    BenchReport::ratioFigure(QStringLiteral("datagram path, sendUpdatePulse to row patched (median)"), p50, p50Floor,
                             QStringLiteral("us"), 3.0);
    const double ratio = p99Floor > 0 ? p99 / p99Floor : 0;
    BenchReport::figure(QStringLiteral("datagram path, sendUpdatePulse to row patched (99th percentile)"),
                        BenchReport::amount(p99, QStringLiteral("us")), BenchReport::amount(p99Floor, QStringLiteral("us")),
                        QString::number(ratio, 'f', 2), QStringLiteral("< 2 ms and <= 3x floor"),
                        complete && p99 < 2000 && ratio <= 3.0);
    if (!complete)
        BenchReport::figure(QStringLiteral("datagram path, updates lost on the way"),
                            QString::number(2 * kUpdates - full.size() - bare.size()), QStringLiteral("0"),
                            QStringLiteral("-"), QStringLiteral("none lost"), false);
}

int sendAll()
{
    if (!insidePrivateNamespace()) {
        std::fprintf(stderr, "not inside a private network namespace: run through tests/support/run-in-netns.sh\n");
        return 77;
    }
    BenchBoard board(kBoardUsers);
    g_lUserID = 1;
    frmSysTray tray;
    tray.showOffscreen();
    QList<double> full, bare;
    for (int half = 0; half < kHalves; ++half) {
        bare << runPath("bare", kUpdates / kHalves, sendBare);
        full << runPath("full", kUpdates / kHalves, [&](int count) { sendFull(tray, count); });
    }
    report(QStringLiteral("datagram path"), full, bare);
    return 0;
}

} // namespace

int main(int argc, char *argv[])
{
    Clock::settleTimeZone(); // as the program does
    QApplication app(argc, argv);
    if (argc == 4 && QByteArray(argv[1]) == "--receive") {
        const int count = QByteArray(argv[3]).toInt();
        return QByteArray(argv[2]) == "bare" ? receiveBare(count) : receiveFull(count);
    }
    return sendAll();
}

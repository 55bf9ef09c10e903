// Poll scaling: incremental polls of the user list after 10 rows were
// changed by other copies, on the all-users node and on a group node (the
// group of everyone, the one that grows with the office), on boards of 100,
// 10,000 and 50,000 users. The goal compares 10,000 users with 100 on each
// node; 50,000 is shown for comparison.

#include "BenchBoard.h"
#include "BenchReport.h"
#include "BenchWindows.h"
#include "foundation/Globals.h"
#include "platform/Clock.h"
#include "platform/ConnectionPool.h"
#include "status/UserListModel.h"
#include "status/UserListPoll.h"

#include <QApplication>
#include <QMap>
#include <cstdio>

namespace {

constexpr int kRepeats = 40;
constexpr int kChanged = 10;
const QList<int> kBoards = {100, 10000, 50000};
const QStringList kNodes = {QStringLiteral("GRP0"), QStringLiteral("GRP%1").arg(BenchBoard::kStaffMembers)};

QString nodeName(const QString &node)
{
    return node == QLatin1String("GRP0") ? QStringLiteral("all-users node") : QStringLiteral("group node");
}

qint32 poll(UserListPoll &userList, const QString &node)
{
    DbHandle none;
    return userList.refresh(false, true, QString(), node, none);
}

void resetListGlobals()
{
    g_lLastUpdated = -1;
    g_lLastSeq = 0;
    g_sCurrentNodeKey.clear();
    g_sViewType.clear();
    g_vUserList.clear();
    g_lMyRowIndex = -1;
}

// Median time in milliseconds of an incremental poll of the node after
// kChanged rows were written by other copies.
double timePolls(BenchBoard &board, const QString &node)
{
    resetListGlobals();
    UserListPoll userList;
    poll(userList, node);
    if (userList.model().rowCount() != board.users())
        qFatal("the board shows %d users, not %d", userList.model().rowCount(), board.users());
    QList<double> samples;
    for (int i = 0; i < kRepeats; ++i) {
        board.changeUsers(board.nextUsers(kChanged));
        const qint64 start = BenchReport::nowNs();
        poll(userList, node);
        samples << double(BenchReport::nowNs() - start) / 1e6;
        if (userList.lastRowsRead() != kChanged)
            qFatal("the poll read %d rows, not %d", userList.lastRowsRead(), kChanged);
    }
    return BenchReport::median(samples);
}

} // namespace

int main(int argc, char *argv[])
{
    Clock::settleTimeZone(); // as the program does
    QApplication app(argc, argv);
    Clock::pin(QDateTime(QDate(2026, 3, 4), QTime(10, 0)));
    QMap<QString, QMap<int, double>> medians; // node -> board size -> ms
    for (int users : kBoards) {
        BenchBoard board(users);
        g_frmMain = std::make_unique<BoardWindow>();
        g_lUserID = 1;
        for (const QString &node : kNodes) {
            medians[node][users] = timePolls(board, node);
            std::fprintf(stderr, "poll: %5d users, %s, %d changed rows: %.3f ms\n", users, qPrintable(nodeName(node)),
                         kChanged, medians[node][users]);
        }
        g_frmMain.reset();
        ConnectionPool::closeLocal();
    }
    for (const QString &node : kNodes) {
        BenchReport::plainFigure(QStringLiteral("2 poll of %1 changed rows, %2, 100 users (median)").arg(kChanged).arg(nodeName(node)),
                                 medians[node][100], std::nullopt, QStringLiteral("ms"));
        BenchReport::ratioFigure(QStringLiteral("2 poll, %1, 10,000 users vs 100 (median)").arg(nodeName(node)),
                                 medians[node][10000], medians[node][100], QStringLiteral("ms"), 2.0);
        BenchReport::plainFigure(QStringLiteral("2 poll, %1, 50,000 users (median; floor: 100 users)").arg(nodeName(node)),
                                 medians[node][50000], medians[node][100], QStringLiteral("ms"));
    }
    return 0;
}

// Poll scaling: incremental polls of the user list with 0, 10 and 1,000
// changed rows on boards of 100, 1,000 and 10,000 users. The goal compares a
// poll of 10 changed rows on the largest board with one on the smallest.

#include "BenchBoard.h"
#include "BenchReport.h"
#include "BenchWindows.h"
#include "foundation/Globals.h"
#include "platform/Clock.h"
#include "status/UserListModel.h"
#include "status/UserListPoll.h"

#include <QApplication>
#include <QMap>
#include <cstdio>

namespace {

constexpr int kRepeats = 40;
const QString kAllUsers = QStringLiteral("GRP0");
const QList<int> kBoards = {100, 1000, 10000};
const QList<int> kChanges = {0, 10, 1000};

qint32 poll(UserListPoll &userList)
{
    DbHandle none;
    return userList.refresh(false, true, QString(), kAllUsers, none);
}

// Median time in milliseconds of an incremental poll after `changed` rows
// were written by other copies.
double timePolls(BenchBoard &board, UserListPoll &userList, int changed)
{
    QList<double> samples;
    for (int i = 0; i < kRepeats; ++i) {
        board.changeUsers(board.nextUsers(changed));
        const qint64 start = BenchReport::nowNs();
        poll(userList);
        samples << double(BenchReport::nowNs() - start) / 1e6;
        if (userList.lastRowsRead() != std::min(changed, board.users()))
            qFatal("the poll read %d rows, not %d", userList.lastRowsRead(), changed);
    }
    return BenchReport::median(samples);
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

} // namespace

int main(int argc, char *argv[])
{
    Clock::settleTimeZone(); // as the program does
    QApplication app(argc, argv);
    Clock::pin(QDateTime(QDate(2026, 3, 4), QTime(10, 0)));
    QMap<int, QMap<int, double>> medians; // board size -> changed rows -> ms
    for (int users : kBoards) {
        BenchBoard board(users);
        g_frmMain = std::make_unique<BoardWindow>();
        g_lUserID = 1;
        resetListGlobals();
        UserListPoll userList;
        poll(userList);
        if (userList.model().rowCount() != users)
            qFatal("the board shows %d users, not %d", userList.model().rowCount(), users);
        for (int changed : kChanges) {
            if (changed > users)
                continue;
            medians[users][changed] = timePolls(board, userList, changed);
            std::fprintf(stderr, "poll: %5d users, %4d changed rows: %.3f ms\n", users, changed,
                         medians[users][changed]);
        }
        g_frmMain.reset();
    }
    for (int users : kBoards)
        for (int changed : kChanges)
            if (medians[users].contains(changed) && !(changed == 10 && users == 10000))
                BenchReport::plainFigure(QStringLiteral("3 poll, %1 changed rows on %2 users (median)").arg(changed).arg(users),
                                         medians[users][changed], std::nullopt, QStringLiteral("ms"));
    BenchReport::ratioFigure(QStringLiteral("3 poll, 10 changed rows on 10,000 users vs on 100 (median)"),
                             medians[10000][10], medians[100][10], QStringLiteral("ms"), 2.0);
    return 0;
}

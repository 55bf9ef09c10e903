#include "StaffRows.h"
#include "StubMainWindow.h"
#include "StubTrayWindow.h"
#include "TestDatabase.h"
#include "foundation/Globals.h"
#include "messaging/CMCastWindow.h"
#include "messaging/MCastBus.h"
#include "messaging/MCastProtocol.h"
#include "platform/Clock.h"
#include "status/CClientHnd.h"
#include "status/StatusMCastReceiver.h"
#include "status/UserListModel.h"
#include "status/UserListPoll.h"

#include <QRandomGenerator>
#include <QScopeGuard>
#include <QtTest>
#include <tuple>

// Five running copies share one database and an in-memory multicast group
// that loses 30 % of the datagrams, repeats some and reorders all; a sixth
// sender forges updates. The copies change statuses, hear what arrives and
// poll at random moments; once the datagrams have stopped, one poll brings
// every copy's board to what the database holds.

namespace {

constexpr int kCopies = 5;
constexpr int kUsers = 12;
constexpr int kSteps = 400;
const QStringList kStatuses = {QStringLiteral("INN"), QStringLiteral("OUT"), QStringLiteral("LNC"),
                               QStringLiteral("MTG"), QStringLiteral("HME"), QStringLiteral("BRK")};

// An update no copy sent, for a user on the board and numbered where the
// change counter stands: a code no copy sends, a note far longer, or a
// status like any other that the database never held.
QByteArray forged(QRandomGenerator &random, int changes)
{
    static const QList<QByteArray> codes = {"<b>BOLD</b>", "out", "", "OU", "HME", "VAC"};
    const QByteArray head = "s" + QByteArray::number(kUsers + changes + random.bounded(5)) + "#!"
                            + QByteArray::number(1 + random.bounded(kUsers)) + "#!";
    if (random.bounded(4) == 0)
        return head + "OUT#!" + QByteArray(40000, 'x') + "#!0#!0#!";
    return head + codes.at(random.bounded(int(codes.size()))) + "#!forged#!0#!0#!";
}

// One running copy. The program keeps a copy's state in globals, so each copy
// holds its own set here and swaps it in while it acts.
class Copy
{
public:
    Copy(MCastBus &bus, qint32 userId) : m_endpoint(bus.attach()), m_transport(*this)
    {
        std::get<CUser>(m_globals).UserID = std::get<5>(m_globals) = userId;
        std::get<CUser>(m_globals).RealName = QStringLiteral("User %1").arg(userId);
        m_protocol = std::make_unique<MCastProtocol>(m_window, g_lLastSeq, m_transport, m_receiver);
    }

    // Makes this copy the running program until the guard goes.
    auto active()
    {
        swapGlobals();
        return qScopeGuard([this] { swapGlobals(); });
    }

    void poll()
    {
        const auto running = active();
        QString query, node = QStringLiteral("GRP0");
        g_oClientHnd->RefreshUserList(false, true, query, node);
    }

    void changeStatus(qint32 userId, const QString &status, const QString &note)
    {
        const auto running = active();
        ::changeStatus(*g_oClientHnd, userId, status, note);
    }

    // The board as shown, one line per row in user order.
    QStringList board()
    {
        const auto running = active();
        QStringList rows;
        const UserListModel &model = g_oClientHnd->userList().model();
        for (int row = 0; row < model.rowCount(); ++row) {
            const UserListItem &item = *model.item(row);
            rows << QStringList{QString::number(item.UserID), item.Text, item.StatusText, item.IconKey, item.Note,
                                item.OutText, item.DueBackText}
                        .join(u'|');
        }
        rows.sort();
        return rows;
    }

private:
    class BusTray : public StubTrayWindow
    {
    public:
        explicit BusTray(Copy &copy) : m_copy(copy) {}
        void sendUpdatePulse(const CMCastUpdate &update) override { m_copy.m_protocol->sendUpdatePulse(update); }
        Copy &m_copy;
    };

    // The copy's end of the bus; whatever arrives is handled with the copy's state in place.
    class Transport : public IMCastTransport
    {
    public:
        explicit Transport(Copy &copy) : m_copy(copy) {}
        void send(const QByteArray &datagram) override { m_copy.m_endpoint.send(datagram); }
        void setReceiveHandler(ReceiveHandler handler) override
        {
            if (handler)
                handler = [this, handler](const QByteArray &datagram, const QString &from) {
                    const auto running = m_copy.active();
                    handler(datagram, from);
                };
            m_copy.m_endpoint.setReceiveHandler(handler);
        }
        Copy &m_copy;
    };

    void swapGlobals()
    {
        auto globals = std::tie(g_oClientHnd, g_frmMain, g_frmSysTray, g_vUserList, g_oCurrentUser, g_lUserID,
                                g_lLastUpdated, g_lLastSeq, g_lMyRowIndex, g_fMyRowLoaded, g_sCurrentNodeKey, g_sViewType);
        auto mine = std::apply([](auto &...value) { return std::tie(value...); }, m_globals);
        globals.swap(mine);
    }

    MCastBus::Endpoint &m_endpoint;
    Transport m_transport;
    CMCastWindow m_window;
    StatusMCastReceiver m_receiver;
    std::unique_ptr<MCastProtocol> m_protocol;
    // The copy's globals while it does not run, in the order swapGlobals() names them.
    std::tuple<std::unique_ptr<CClientHnd>, std::unique_ptr<IMainWindow>, std::unique_ptr<ITrayWindow>, QList<CUser>,
               CUser, qint32, qint32, qint32, qint32, bool, QString, QString>
        m_globals{std::make_unique<CClientHnd>(), std::make_unique<StubMainWindow>(), std::make_unique<BusTray>(*this),
                  QList<CUser>(), CUser(), 0, -1, 0, -1, false, QString(), QString()};
};

} // namespace

class tst_LossyBus : public QObject
{
    Q_OBJECT

private slots:
    void init() { Clock::pin(QDateTime(QDate(2026, 5, 12), QTime(11, 0))); }
    void cleanup() { Clock::unpin(); }

    void boardsMeetTheDatabaseAfterOnePoll_data()
    {
        QTest::addColumn<quint32>("seed");
        for (quint32 seed = 1; seed <= 8; ++seed)
            QTest::addRow("seed %u", seed) << seed;
    }
    void boardsMeetTheDatabaseAfterOnePoll()
    {
        QFETCH(quint32, seed);
        TestDatabase db(false, QStringLiteral("lossy_bus"));
        addStaff(kUsers);
        MCastBus bus(seed);
        bus.dropRate = 0.3;
        bus.repeatRate = 0.1;
        bus.reorder = true;
        std::vector<std::unique_ptr<Copy>> copies;
        for (qint32 id = 1; id <= kCopies; ++id) {
            copies.push_back(std::make_unique<Copy>(bus, id));
            copies.back()->poll();
        }
        MCastBus::Endpoint &forger = bus.attach();

        QRandomGenerator random(seed);
        int changes = 0;
        for (int step = 0; step < kSteps; ++step) {
            Copy &copy = *copies.at(random.bounded(kCopies));
            const int action = random.bounded(100);
            if (action < 40) {
                copy.changeStatus(1 + random.bounded(kUsers), kStatuses.at(random.bounded(kStatuses.size())),
                                  QStringLiteral("it's change %1").arg(++changes));
            } else if (action < 80) {
                for (int n = random.bounded(1, 6); n > 0 && bus.deliverOne(); --n) {
                }
            } else if (action < 88) {
                forger.send(forged(random, changes));
            } else {
                copy.poll();
            }
        }
        for (int n = 0; n < kUsers; ++n)
            forger.send(forged(random, changes));
        bus.deliverAll();
        QCOMPARE(bus.pending(), 0);

        // What a copy that has just started shows.
        Copy fresh(bus, 99);
        fresh.poll();
        const QStringList expected = fresh.board();
        QCOMPARE(expected.size(), kUsers);
        for (auto &copy : copies) {
            copy->poll();
            QCOMPARE(copy->board(), expected);
        }
    }
};

QTEST_GUILESS_MAIN(tst_LossyBus)
#include "tst_LossyBus.moc"

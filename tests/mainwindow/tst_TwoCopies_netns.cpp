#include "BoardWorld.h"
#include "TestDatabase.h"
#include "admin/CClientAdmin.h"
#include "foundation/CStatus.h"
#include "foundation/MErrorHandler.h"
#include "foundation/MWait.h"
#include "mainwindow/ListViewPane.h"
#include "platform/DbConnection.h"
#include "platform/SettingsKeys.h"
#include "status/UserListModel.h"
#include "status/UserListPoll.h"
#include "tray/MessageWindows.h"
#include "tray/NoticeStack.h"
#include "tray/frmChat.h"
#include "tray/frmDialog.h"
#include "tray/frmInstantMessage.h"
#include "tray/frmSysTray.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTextEdit>
#include <QTreeView>
#include <QProcess>
#include <QSocketNotifier>
#include <QtTest>
#include <unistd.h>

namespace {

void say(const QString &line)
{
    std::fputs((line + u'\n').toUtf8().constData(), stdout);
    std::fflush(stdout);
}

// One copy of the program in a child process: its own folders and sockets,
// the shared database. It says "row <id> <status>|<note>" whenever a row it
// shows changes, and takes commands on its standard input.
class RunningCopy : public QObject
{
public:
    RunningCopy(const QString &login, const QString &database)
    {
        SettingsKeys::DatabaseType.write(QStringLiteral("MSAccess"));
        SettingsKeys::DatabaseServer.write(database);
        CreateDSN(QStringLiteral("MSAccess"), database);
        SettingsKeys::DefaultBranch.write(QStringLiteral("NOD3"));
        // Short, but serving events as the program's own waits do.
        g_busyWait = [](int ms) { WaitForTimer(std::min(ms, 50) / 1000.0); };
        DbConnection::setSqliteBusyTimeout(2000);
        m_receiver.install(g_uiFactory);
        g_uiFactory.trayWindow = [this] {
            auto tray = std::make_unique<frmSysTray>();
            tray->setMCastReceiver(m_receiver);
            return tray;
        };
        m_window = startBoard(login);
        if (!m_window)
            return;
        g_frmSysTray->setUpdateTimerEnabled(true);
        UserListModel &model = g_oClientHnd->userList().model();
        connect(&model, &QAbstractItemModel::dataChanged, this, &RunningCopy::reportRows);
        connect(&model, &QAbstractItemModel::rowsInserted, this, &RunningCopy::reportRows);
        connect(&model, &QAbstractItemModel::rowsAboutToBeRemoved, this, [&model](const QModelIndex &, int first) {
            say(QStringLiteral("gone %1").arg(model.item(first)->UserID));
        });
        connect(&m_input, &QSocketNotifier::activated, this, &RunningCopy::readCommands);
    }

    bool started() const { return m_window != nullptr; }

private:
    static QString rowLine(const UserListItem &item)
    {
        return QStringLiteral("row %1 %2|%3").arg(item.UserID).arg(item.StatusText, item.Note);
    }

    void reportRows()
    {
        const UserListModel &model = g_oClientHnd->userList().model();
        for (int row = 0; row < model.rowCount(); ++row) {
            const QString line = rowLine(*model.item(row));
            if (m_shown.value(model.item(row)->UserID) != line)
                say(line);
            m_shown.insert(model.item(row)->UserID, line);
        }
    }

    void readCommands()
    {
        char buffer[512];
        const ssize_t n = ::read(STDIN_FILENO, buffer, sizeof buffer);
        m_pending += n > 0 ? QByteArray(buffer, int(n)) : QByteArray("quit\n"); // the parent went
        for (qsizetype end; (end = m_pending.indexOf('\n')) >= 0;) {
            const QString command = QString::fromUtf8(m_pending.left(end)); // taken first: a command serves events
            m_pending.remove(0, end + 1);
            run(command);
        }
    }

    void run(const QString &command)
    {
        const QStringList words = command.split(u' ');
        if (words.first() == QLatin1String("status")) {
            // As the user does it: a note typed in the box, then the button.
            control<QComboBox>(m_window, "cboNote")->setEditText(words.mid(2).join(u' '));
            action(m_window, words.value(1))->trigger();
            say(QStringLiteral("done"));
        } else if (words.first() == QLatin1String("show")) {
            const UserListModel &model = g_oClientHnd->userList().model();
            say(QStringLiteral("now ") + rowLine(*model.item(model.rowOf(words.value(1).toInt()))));
        } else if (words.first() == QLatin1String("im")) {
            frmInstantMessage &dialog = m_receiver.instantMessage();
            dialog.setRecipientList(words.value(1));
            dialog.findChild<QPlainTextEdit *>("txtMessage")->setPlainText(words.mid(2).join(u' '));
            dialog.cmdOK_Click();
        } else if (words.first() == QLatin1String("invite")) {
            QString room;
            MessageWindows::trayMCast()->sendChatInvitation(g_oCurrentUser.RealName, words.value(1), room);
        } else if (words.first() == QLatin1String("click")) {
            for (QWidget *widget : NoticeStack::instance().shown())
                if (auto *button = widget ? widget->findChild<QPushButton *>(words.value(1)) : nullptr;
                    button && button->isVisibleTo(widget))
                    button->click();
        } else if (words.first() == QLatin1String("chat")) {
            auto *line = m_receiver.chat().findChild<QLineEdit *>("txtMessage");
            QTest::keyClicks(line, words.mid(1).join(u' '));
            m_receiver.chat().cmdSend_Click();
        } else if (words.first() == QLatin1String("leave")) {
            m_receiver.chat().cmdLeave_Click();
        } else if (words.first() == QLatin1String("delete")) {
            // From the user list's context menu, answering Yes.
            static_cast<ScriptedPrompt *>(g_prompt)->defaultAnswer = IPrompt::AnswerYes;
            auto *list = control<ListViewPane>(m_window, "lvwUserList");
            list->selectKey(QStringLiteral("USR") + words.value(1));
            QTest::keyClick(list->detailsView(), Qt::Key_Menu);
            action(m_window, "mnuPopupSub(11)")->trigger();
        } else if (words.first() == QLatin1String("custom")) {
            // An administrator adds an Out status and gives it to a colleague.
            const std::optional<CStatus> added = CClientAdmin().AddCustomStatus(
                words.mid(2).join(u' '), QStringLiteral("O"), QStringLiteral("ICOcopier"));
            double outAt = 0, dueBack = 0;
            g_oClientHnd->UpdateStatus(words.value(1).toInt(), added->StatusCode, QString(), outAt, dueBack, false, true);
        } else if (words.first() == QLatin1String("look")) {
            look();
        } else if (words.first() == QLatin1String("quit")) {
            // The windows go first: leaving the loop closes the ones left,
            // and a main window closed by the user would close the program.
            stopBoard();
            QCoreApplication::exit(0);
        }
    }

    // Says what the notices and the chat room show, one line each.
    void look()
    {
        for (QWidget *notice : NoticeStack::instance().shown())
            if (notice && !static_cast<frmDialog *>(notice)->isLeaving()) {
                QStringList texts;
                for (const char *name : {"lblTitle", "lblFrom", "lblMessage"})
                    texts << notice->findChild<QLabel *>(name)->text();
                for (const char *name : {"imgJoinChat", "imgCheckIn"})
                    if (notice->findChild<QPushButton *>(name)->isVisibleTo(notice))
                        texts << QLatin1String(name);
                say(QStringLiteral("notice ") + texts.join(u'|'));
            }
        frmChat &chat = m_receiver.chat();
        for (const QString &line : chat.findChild<QTextEdit *>("RichTextBox1")->toPlainText().split(u'\n'))
            say(QStringLiteral("line ") + line);
        for (const QListWidgetItem *member : chat.findChild<QListWidget *>("lstMembers")->findItems("*", Qt::MatchWildcard))
            say(QStringLiteral("member ") + member->text());
        say(QStringLiteral("status ") + chat.findChild<QLabel *>("lblStatus")->text());
        say(QStringLiteral("looked"));
    }

    MessageWindows m_receiver;
    frmMain *m_window = nullptr;
    QSocketNotifier m_input{STDIN_FILENO, QSocketNotifier::Read};
    QByteArray m_pending;
    QHash<qint32, QString> m_shown;
};

int runCopy(const QString &login, const QString &database)
{
    TestEnvironment env;
    int code = 1;
    {
        RunningCopy copy(login, database);
        if (copy.started()) {
            say(QStringLiteral("ready"));
            code = QCoreApplication::exec();
        }
    }
    stopBoard();
    CloseDebugLog();
    return code;
}

// The parent's handle on a copy: sends it lines and waits for what it says.
class Copy
{
public:
    Copy(const QString &login, const QString &database)
    {
        m_process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        m_process.start(QCoreApplication::applicationFilePath(), {QStringLiteral("--copy"), login, database});
    }
    ~Copy()
    {
        send(QStringLiteral("quit"));
        if (!m_process.waitForFinished(stretched(10000)))
            m_process.kill();
        m_process.waitForFinished(stretched(30000));
    }
    void send(const QString &line) { m_process.write((line + u'\n').toUtf8()); }
    // True once the copy said that line; false, saying what it heard, when it did not within the time
    // (stretched for the build).
    bool waitFor(const QString &line, int milliseconds)
    {
        const bool said = QTest::qWaitFor(
            [&] {
                while (m_process.canReadLine()) {
                    heard << QString::fromUtf8(m_process.readLine()).trimmed();
                    if (heard.last() == line)
                        return true;
                }
                return false;
            },
            stretched(milliseconds));
        if (!said)
            qWarning("waited for \"%s\", heard:\n%s", qPrintable(line), qPrintable(heard.join(u'\n')));
        return said;
    }
    // True once a look at the copy's windows shows the line.
    bool sees(const QString &line)
    {
        return QTest::qWaitFor([&] {
            heard.clear();
            send(QStringLiteral("look"));
            return waitFor(QStringLiteral("looked"), 2000) && heard.contains(line);
        }, stretched(5000));
    }
    QStringList heard;

private:
    QProcess m_process;
};

} // namespace

// Two copies of the program on one database and one machine.
class tst_TwoCopies_netns : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        REQUIRE_PRIVATE_NETWORK();
    }

    // One pair of copies goes through it all: a status, three clicks on a
    // locked database, the notices, a chat, and a custom status one copy did
    // not know.
    void twoCopiesOnOneDatabase()
    {
        TestDatabase db(false, QStringLiteral("copies"));
        insertBoardUsers();
        db.exec("UPDATE Properties SET pvalue = '40000' WHERE pkey = 'port_lstn'"); // above the signed 16-bit range
        const QString file = db.env.path(QStringLiteral("data/StaffData.db"));
        Copy bruno(QStringLiteral("BRUNO"), file);
        QVERIFY(bruno.waitFor(QStringLiteral("ready"), 30000));
        Copy ada(QStringLiteral("ADA"), file);
        QVERIFY(ada.waitFor(QStringLiteral("ready"), 30000));

        // Through the datagram: well before any poll.
        QElapsedTimer clock;
        clock.start();
        ada.send(QStringLiteral("status OUT Lunch with Bob"));
        QVERIFY(bruno.waitFor(QStringLiteral("row 1 Out|Lunch with Bob"), 1000));
        QVERIFY(clock.elapsed() < stretched(1000));
        QVERIFY(ada.waitFor(QStringLiteral("done"), 5000));

        // Another writer holds the database while Ada clicks three times.
        DbHandle lock = OpenADOConnection();
        lock->beginWrite();
        for (const char *click : {"status LNC first", "status OUT second", "status MTG third"}) {
            ada.send(QLatin1String(click));
            QTest::qWait(300);
        }
        QTest::qWait(2500);
        lock->commit();
        for (int click = 0; click < 3; ++click)
            QVERIFY(ada.waitFor(QStringLiteral("done"), 20000));

        QCOMPARE(db.value("SELECT IsIn || '|' || Note FROM STAFF_STATUS WHERE UserID = 1").toString(),
                 QStringLiteral("MTG|third"));
        QCOMPARE(db.value("SELECT Status || '|' || Note FROM STATUS_HISTORY WHERE UserID = 1 ORDER BY rowid DESC")
                     .toString(),
                 QStringLiteral("MTG|third"));
        QTest::qWait(stretched(1000)); // the datagrams arrive
        for (Copy *copy : {&ada, &bruno}) {
            copy->send(QStringLiteral("show 1"));
            QVERIFY(copy->waitFor(QStringLiteral("now row 1 Meeting|third"), 5000));
        }

        // Then the copies talk. Ada is not In: her own copy offers Check In, which stores In and slides the offer away.
        QVERIFY(ada.sees("notice Qel Status Change||Your status has been set to Meeting, click Check In to set "
                         "your status back to In|imgCheckIn"));
        ada.send(QStringLiteral("click imgCheckIn"));
        QTRY_COMPARE_WITH_TIMEOUT(db.value("SELECT IsIn FROM STAFF_STATUS WHERE UserID = 1").toString(),
                                  QStringLiteral("INN"), stretched(5000));
        QCOMPARE(db.value("SELECT Status FROM STATUS_HISTORY WHERE UserID = 1 ORDER BY rowid DESC").toString(),
                 QStringLiteral("INN"));
        QTRY_VERIFY_WITH_TIMEOUT(ada.sees(QStringLiteral("looked")) && !ada.heard.join(u'\n').contains("imgCheckIn"),
                                 stretched(5000));

        // An instant message and a broadcast, shown literally.
        ada.send(QStringLiteral("im /2/ <b>5 < 6</b> & #!"));
        QVERIFY(bruno.sees("notice Qel Instant Message|Message from Ada Lindqvist...|<b>5 < 6</b> & #!"));
        ada.send(QStringLiteral("im * to everyone"));
        QVERIFY(bruno.sees(QStringLiteral("notice Qel Instant Message|Message from Ada Lindqvist...|to everyone")));

        // A chat room: invitation, join, lines both ways, the typing notice, leave.
        ada.send(QStringLiteral("invite 2"));
        QVERIFY(bruno.sees("notice Qel Chat Room Invite|Ada Lindqvist|Invites you to chat... Do you accept?|imgJoinChat"));
        bruno.send(QStringLiteral("click imgJoinChat"));
        QVERIFY(ada.sees(QStringLiteral("status Bruno Ferrand has joined the Chat Room")));
        QVERIFY(ada.heard.contains(QStringLiteral("member Bruno Ferrand")));
        bruno.send(QStringLiteral("chat Hello <i>Ada</i>"));
        QVERIFY(ada.sees(QStringLiteral("line Bruno Ferrand writes...")));
        QVERIFY(ada.heard.contains(QStringLiteral("line Hello <i>Ada</i>")));
        QVERIFY(bruno.sees(QStringLiteral("line You wrote...")));
        ada.send(QStringLiteral("chat fifteen keys here"));
        QVERIFY(bruno.sees(QStringLiteral("status Ada Lindqvist is writing a message")));
        QVERIFY(bruno.heard.contains(QStringLiteral("line Ada Lindqvist writes...")));
        bruno.send(QStringLiteral("leave"));
        QVERIFY(ada.sees(QStringLiteral("status Bruno Ferrand has left the Chat Room")));

        // A custom status added by Bruno's copy after Ada's read them. (A code no copy
        // knows keeps its row's height and picture: tst_MainWindow aStatusNoCopyKnowsKeepsItsRow.)
        bruno.send(QStringLiteral("custom 1 Site Visit"));
        QVERIFY(ada.waitFor(QStringLiteral("row 1 Site Visit|"), 5000));
        QVERIFY(ada.sees("notice Qel Status Change||Your status has been set to Site Visit, click Check In to set "
                         "your status back to In|imgCheckIn"));
    }

    void aDeletedUserLeavesTheOtherCopyAtItsPoll()
    {
        TestDatabase db(false, QStringLiteral("deleted"));
        insertBoardUsers();
        db.exec("UPDATE STAFF_OPTIONS SET RefreshPeriod = 2 WHERE UserID = 2"); // a poll every three seconds
        const QString file = db.env.path(QStringLiteral("data/StaffData.db"));
        Copy bruno(QStringLiteral("BRUNO"), file);
        Copy ada(QStringLiteral("ADA"), file);
        QVERIFY(bruno.waitFor(QStringLiteral("ready"), 30000) && ada.waitFor(QStringLiteral("ready"), 30000));
        ada.send(QStringLiteral("delete 3"));
        QVERIFY(bruno.waitFor(QStringLiteral("gone 3"), 10000));
    }
};

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    if (argc == 4 && QByteArray(argv[1]) == "--copy")
        return runCopy(QString::fromLocal8Bit(argv[2]), QString::fromLocal8Bit(argv[3]));
    tst_TwoCopies_netns test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_TwoCopies_netns.moc"

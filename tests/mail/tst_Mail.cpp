#include "LoopStopMeter.h"
#include "TestSupport.h"
#include "foundation/Globals.h"
#include "foundation/MCIFunctions.h"
#include "mail/CClientEmail.h"
#include "mail/frmJournalEntry.h"
#include "mail/frmPhHistory.h"
#include "mail/frmPhMsgWizard.h"
#include "mail/SendmailPipe.h"
#include "platform/Clock.h"
#include "platform/DateUtil.h"
#include "platform/Registry.h"
#include "platform/SettingsKeys.h"

#include <QComboBox>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTimeZone>
#include <QTreeWidget>
#include <QtTest>
#include <csignal>
#include <unistd.h>

namespace {
class AnsweringForm : public IPhoneMessageForm
{
public:
    explicit AnsweringForm(PhoneMessageEntry entry) : m_entry(std::move(entry)) {}
    void SetContactsCBO(const QStringList &) override {}
    // Presses OK once; when the message does not leave, the user gives up.
    std::optional<PhoneMessageEntry> ask(const QString &, const QString &time, const Sender &send) override
    {
        m_entry.time = time;
        // Shared: an answer that comes after the wait must find it still there.
        auto sent = std::make_shared<std::optional<bool>>();
        send(m_entry, [sent](bool ok) { *sent = ok; });
        if (!QTest::qWaitFor([&] { return sent->has_value(); }, stretched(10000)))
            return std::nullopt;
        return sent->value_or(false) ? std::optional(m_entry) : std::nullopt;
    }

private:
    PhoneMessageEntry m_entry;
};

// The message as Python's mail parser reads it: its defects, longest line,
// Date offset (null for an unknown zone), To, subject and body.
QJsonObject parsedByPython(const QString &file)
{
    QProcess python;
    python.start("python3", {"-c", R"(import email, email.policy, json, sys
raw = open(sys.argv[1], 'rb').read()
msg = email.message_from_bytes(raw, policy=email.policy.default)
when = msg['Date'].datetime
print(json.dumps({
    'defects': [repr(d) for d in msg.defects] + [k + repr(d) for k, v in msg.items() for d in v.defects],
    'longest': max(len(line) for line in raw.split(b'\n')),
    'offset': when.utcoffset().total_seconds() if when.tzinfo else None,
    'to': str(msg['To']), 'subject': str(msg['Subject']), 'body': msg.get_content()}))
)", file});
    python.waitForFinished(stretched(30000));
    return QJsonDocument::fromJson(python.readAllStandardOutput()).object();
}

// One phone message: the callers stored before ("REG_ERR": none yet), the
// colleague's address (empty: found by name in the contacts), the mail
// command's exit code (-1: no such command, -2: no command set), the outcome ("sent", "mailto" or
// "refused"), the callers after, what the user is told (in part), the
// signed-in user's address and what comes before her card in the contacts
// and in it (there, an address that breaks the header).
struct PhoneCase
{
    const char *name;
    QString storedCallers, caller, message, email;
    int exitCode;
    QString outcome, callersAfter, told = {}, sender = {};
    QByteArray before = {}, inside = "EMAIL;ENCODING=QUOTED-PRINTABLE:ann@example.org=0D=0ABcc: everyone@example.org\r\n";
};

#ifdef __SANITIZE_ADDRESS__
constexpr qint64 kLongestStopMs = 1000;
#else
constexpr qint64 kLongestStopMs = 300;
#endif

CUser user(qint32 id, const QString &name, const QString &email)
{
    CUser u;
    u.UserID = id;
    u.RealName = name;
    u.Email = email;
    return u;
}
} // namespace

class tst_Mail : public QObject
{
    Q_OBJECT
private slots:
    void cleanup()
    {
        Clock::unpin();
        g_vUserList.clear();
        g_fOutlook = g_fSecureOutlook = false;
        CClientEmail::phoneMessageForm = nullptr;
    }

    void phoneMessage_data()
    {
        QTest::addColumn<PhoneCase>("c");
        QStringList names;
        for (int i = 0; i < 26; ++i)
            names << QStringLiteral("n%1").arg(i);
        const QString ann = "ann@example.org", longName = QString("Ann Lee ").repeated(30);
        // The contacts are read off the window's thread: hundreds of photos
        // never stop it, and her address is still found in them.
        const auto photoOf = [](qsizetype bytes) {
            QByteArray photo = "PHOTO;ENCODING=b;TYPE=JPEG:" + QByteArray(bytes, 'P').toBase64();
            for (qsizetype at = 76; at < photo.size(); at += 77)
                photo.insert(at, "\r\n ");
            return photo + "\r\nEMAIL:ann@example.org\r\n";
        };
        const QByteArray other = "BEGIN:VCARD\r\nVERSION:3.0\r\nFN:Other\r\n" + photoOf(60000) + "END:VCARD\r\n";
        const PhoneCase cases[] = {
            {"first caller", "REG_ERR", "Zoë", "Call back", ann, 0, "sent", "Zoë" + QString(26, '#')},
            {"a lone dot", "", "Ann", "one\n.\ntwo", ann, 0, "sent", "Ann##"},
            {"repeat caller to the front", "Ann#Bob##", "Bob", "x", ann, 0, "sent", "Bob#Ann##"},
            {"26 names", names.join('#') + '#', "New", "x", ann, 0, "sent", "New#" + names.mid(0, 25).join('#') + '#'},
            {"long name, one long paragraph", "", longName, QString("Please call ").repeated(200), ann, 0, "sent",
             longName + "##"},
            {"caller like an encoded word", "", "=?UTF-8?B?QmNjOiBhbGxAeA==?=", "x", ann, 0, "sent",
             "=?UTF-8?B?QmNjOiBhbGxAeA==?=##"},
            {"command fails", "", "Ann", "x", ann, 1, "mailto", "Ann##"},
            {"no such command", "", "Ann", "x", ann, -1, "mailto", "Ann##"},
            // The mail program gets the address found in the contacts, not her name.
            {"command fails, her address from the contacts", "", "Bob", "x", "", 1, "mailto", "Bob##", {}, {}, {},
             "EMAIL:ann@example.org\r\n"},
            {"no such command, no mail program", "", "Ann", "x", ann, -1, "nowhere", "",
             "missing -t -i\" could not be started and no mail program"},
            {"no command set, no mail program", "", "Ann", "x", ann, -2, "nowhere", "",
             "the mail command \"\" could not be started and no mail program"},
            // The command never ran: what failed is said, not blamed on it.
            {"no address, no mail program", "", "Ann", "x", "", 0, "nowhere", "",
             "no e-mail address was found for \"Ann Lee\" and no mail program", {}, {}, "NOTE:none\r\n"},
            {"line break in the caller", "", "Ann\r\nBcc: all@x", "x", ann, 0, "refused", "", "subject"},
            {"line break in the contact's address", "", "Bob", "x", "", 0, "refused", "", "\"Ann Lee\""},
            {"carriage return in the address", "", "Bob", "x", "ann@exa\rmple.org", 0, "refused", "", "ann@exa"},
            {"=? in an address, no encoded word", "", "Ann", "x", "a=?b@example.org", 0, "sent", "Ann##"},
            {"address like an encoded word", "", "Bob", "x", "=?utf-8?q?a=0D=0ABcc=3A_all?=@example.org", 0, "refused",
             "", "=?utf-8?q?"},
            {"line break in the sender", "", "Bob", "x", ann, 0, "refused", "", "me@example.org",
             "me@example.org\nBcc: all@example.org"},
            {"two addresses in one", "", "Bob", "x", ann + ", all@example.org", 0, "refused", "", "all@example.org"},
            // Base64 padding is no soft line break: the address after it stays.
            {"100 cards with 60 KB photos, hers ending in =", "", "Bob", "x", "", 0, "sent", "Bob##", {}, {},
             other.repeated(100), photoOf(60001)},
            {"a quoted-printable address, the word folded in two", "", "Bob", "x", "", 0, "sent", "Bob##", {}, {}, {},
             "EMAIL;ENCODING=QUOTED-PRI\r\n NTABLE:ann=40exam=\r\nple.org\r\n"},
            {"240 such cards: near the 20 MB read", "", "Bob", "x", "", 0, "sent", "Bob##", {}, {}, other.repeated(240),
             photoOf(60000)}};
        for (const PhoneCase &c : cases)
            QTest::newRow(c.name) << c;
    }
    void phoneMessage()
    {
        QFETCH(PhoneCase, c);
        const auto &[name, storedCallers, caller, message, email, exitCode, outcome, callersAfter, told, sender, before,
                     inside] = c;
        TestEnvironment env;
        env.shell.opens = outcome != "nowhere";
        g_oCurrentUser.Email = sender;
        Clock::pin(QDateTime(QDate(2026, 12, 4), QTime(14, 0), QTimeZone("Europe/Paris")));
        g_vUserList = {user(2, "Ann Lee", email)};
        QVERIFY(saveFile(env.path("contacts.vcf"), before + "BEGIN:VCARD\r\nVERSION:2.1\r\nFN:Ann Lee\r\n" + inside +
                                                       "END:VCARD\r\n"));
        SettingsKeys::ContactsPath.write(env.path("contacts.vcf"));
        if (storedCallers != Registry::missingText())
            SettingsKeys::RecentCallers.write(storedCallers);
        const QString fake =
            writeScript(env.path("fake-sendmail"), "cat > \"$0.mail\"\nexit " + QByteArray::number(exitCode));
        SettingsKeys::SendmailCommand.write(exitCode == -2 ? QString()
                                                           : (exitCode < 0 ? env.path("missing") : fake) + " -t -i");
        CClientEmail::phoneMessageForm = [&] {
            return std::make_unique<AnsweringForm>(PhoneMessageEntry{caller, {}, "High", "No action required", message});
        };
        const LoopStopMeter window;
        const bool taken = outcome == "sent" || outcome == "mailto";
        QCOMPARE(CClientEmail().PhMessage(2, "Ann Lee"), taken ? 10000 : 10003);
        // About 15 ms on a quiet machine, most of it starting the mail command;
        // the bound leaves room for a busy one, where starting a process the
        // address sanitizer has grown takes longer still.
        QVERIFY2(!kWindowStopsMeasured || window.longestOwnMs() < kLongestStopMs,
                 qPrintable(QStringLiteral("the window stopped for %1 ms").arg(window.longestOwnMs())));

        const QString time = DateUtil::generalDate(Clock::nowDays());
        QVERIFY2(QRegularExpression("^04/12/2026 1?[0-9]:00:00 [AP]M$").match(time).hasMatch(), qPrintable(time));
        const QString subject = "Phone Message From " + caller.trimmed() + " - " + time;
        const QString body = "Caller:" + caller + "\r\nCall Time:" + time +
                             "\r\nPriority:High\r\nAction:No action required\r\nMessage:" + message + "\r\n";
        QCOMPARE(QFile::exists(fake + ".mail"), taken && exitCode >= 0);
        if (outcome == "sent") {
            const QString ann = "ann@example.org";
            const QJsonObject mail = parsedByPython(fake + ".mail");
            QCOMPARE(mail["defects"].toArray(), QJsonArray());
            QVERIFY(mail["longest"].toInt() <= 78);
            QCOMPARE(mail["offset"].toInt(), 3600);
            QCOMPARE(mail["to"].toString(), email.isEmpty() ? ann : email);
            QCOMPARE(mail["subject"].toString(), subject);
            QCOMPARE(mail["body"].toString(), QString(body).replace("\r\n", "\n"));
        }
        QCOMPARE(env.shell.opened.size(), outcome == "mailto" || outcome == "nowhere" ? 1 : 0);
        if (outcome == "mailto") {
            const QUrlQuery query(env.shell.opened[0]);
            QCOMPARE(env.shell.opened[0].path(), QString("ann@example.org"));
            QCOMPARE(query.queryItemValue("subject", QUrl::FullyDecoded), subject);
            QCOMPARE(query.queryItemValue("body", QUrl::FullyDecoded), body);
        }
        QCOMPARE(env.prompt.asked.size(), told.isEmpty() ? 0 : 1);
        if (!told.isEmpty())
            QVERIFY2(env.prompt.asked[0].text.contains(told), qPrintable(env.prompt.asked[0].text));
        QCOMPARE(SettingsKeys::RecentCallers.read(),
                 callersAfter.isEmpty() ? storedCallers : callersAfter);
    }

    // The window goes on while the mail command works, and what the user
    // typed stays in the form when nothing could take the message.
    void phoneMessageWindow()
    {
        // The command's script (empty: no such command), and what PhMessage answers.
        for (const auto &[sendmail, result] :
             {std::pair<QByteArray, int>{"sleep 2\ncat > \"$0.mail\"", 10000}, {"", 10003}}) {
            TestEnvironment env;
            env.shell.opens = false;
            g_vUserList = {user(2, "Ann Lee", "ann@example.org")};
            const QString fake = env.path("fake-sendmail");
            SettingsKeys::SendmailCommand.write(sendmail.isEmpty() ? env.path("missing") : writeScript(fake, sendmail));
            QPointer<frmPhMsgWizard> wizard;
            CClientEmail::phoneMessageForm = [&] {
                auto form = std::make_unique<frmPhMsgWizard>();
                wizard = form.get();
                return form;
            };
            QString keptMessage;
            LoopStopMeter window(10); // looks at the form every 10 ms, as a user would
            QObject::connect(&window.beat(), &QTimer::timeout, [&] {
                if (!wizard || !wizard->isVisible() || !wizard->cmdOK->isEnabled())
                    return;
                if (env.prompt.asked.isEmpty()) {
                    wizard->cboName->setEditText("Bob");
                    wizard->txtComment->setPlainText("Call back today");
                    wizard->cmdOK->click();
                } else {
                    keptMessage = wizard->txtComment->toPlainText();
                    wizard->cmdCancel->click();
                }
            });
            const qint32 answer = CClientEmail().PhMessage(2, "Ann Lee");
            QCOMPARE(answer, result);
            // The window never waits for the command's two seconds. Its longest stop
            // is a beat or two on a quiet machine; the bound leaves a busy one far more.
            QVERIFY2(!kWindowStopsMeasured || window.longestOwnMs() < 1500,
                     qPrintable(QString::number(window.longestOwnMs())));
            QCOMPARE(QFile::exists(fake + ".mail"), result == 10000);
            QCOMPARE(keptMessage, result == 10000 ? QString() : QString("Call back today"));
        }
    }

    // The command's output is thrown away as it comes, of its complaints only
    // the start is kept (for the log and the user, never the program's own
    // error output), and the time limit ends the command and every process
    // it started.
    void sendmailBounds_data()
    {
        QTest::addColumn<QString>("script");
        QTest::addColumn<int>("result"); // SendmailPipe::Result
        QTest::addColumn<QString>("said");
        const int sent = SendmailPipe::Sent, timedOut = SendmailPipe::TimedOut;
        QTest::newRow("writes endlessly") << "exec cat /dev/zero" << timedOut << "";
        QTest::newRow("complains endlessly") << "while echo 'no such user'; do :; done >&2" << timedOut << "no such user";
        QTest::newRow("complains at length, a euro sign across the cut, then takes it")
            << "head -c 4095 /dev/zero|tr '\\0' c>&2;printf '\\342\\202\\254'>&2;seq 9999>&2;cat>\"$0.mail\"" << sent << "cccc";
        QTest::newRow("a child that hangs") << "sleep 1000 &\necho $! > \"$0.child\"\nwait" << timedOut << "";
        QTest::newRow("refuses at once") << "exit 67" << int(SendmailPipe::Refused) << "";
    }
    void sendmailBounds()
    {
        QFETCH(QString, script);
        QFETCH(int, result);
        QFETCH(QString, said);
        const bool sent = result == SendmailPipe::Sent;
        TestEnvironment env;
        const QString command = writeScript(env.path("fake-sendmail"), script.toUtf8());
        const qint64 before = residentBytes();
        qint64 most = 0;
        QTimer watch;
        connect(&watch, &QTimer::timeout, [&] { most = qMax(most, residentBytes() - before); });
        watch.start(20);
        QFile ownErrors(env.path("stderr"));
        QVERIFY(ownErrors.open(QIODevice::WriteOnly));
        const int savedErrors = ::dup(2);
        ::dup2(ownErrors.handle(), 2);
        std::optional<int> ended;
        QString complaint;
        const auto end = [&](SendmailPipe::Result how, const QString &text) { ended = how, complaint = text; };
        SendmailPipe::start(command, "x", end, stretched(1000));
        QVERIFY(!ended); // told later, never before the caller goes on
        const bool told = QTest::qWaitFor([&] { return ended.has_value(); }, stretched(5000));
        ::dup2(savedErrors, 2);
        ::close(savedErrors);
        QVERIFY(told);
        QCOMPARE(*ended, result);
        QCOMPARE(QFile::exists(command + ".mail"), sent);
        QVERIFY2(ownErrors.size() == 0, qPrintable(QString::number(ownErrors.size())));
        QVERIFY2(most < 64 << 20, qPrintable(QString::number(most)));
        QVERIFY2(complaint.left(said.size()) == said && complaint.size() < SendmailPipe::kSaidBytes + 50,
                 qPrintable(complaint.left(200)));
        if (!said.isEmpty()) { // the start in one line of the log, the rest counted
            QVERIFY(complaint.contains(QRegularExpression(" \\(\\d+ more bytes left out\\)$")));
            const QString log = readTextFile(env.path("logs/debug.log"));
            QCOMPARE(log.count('\n'), 1);
            QVERIFY(log.contains(said) && log.size() < 2 * SendmailPipe::kSaidBytes);
            QVERIFY(!(log + complaint).contains(QChar::ReplacementCharacter)); // cut between characters
        }
        const QString child = readTextFile(command + ".child").trimmed();
        const auto running = [&] { // gone, or a zombie waiting for its reaper, is not running
            return readTextFile("/proc/" + child + "/stat").section(' ', 2, 2).contains(QRegularExpression("[RSD]"));
        };
        if (child.isEmpty())
            return;
        QTest::qWait(stretched(200));
        const bool left = running();
        if (left)
            ::kill(child.toInt(), SIGKILL);
        QVERIFY(!left);
    }

    // A command of no words, or one that is not there, never runs: it is
    // told as such, not as a command that would not take the message.
    void commandsThatNeverStart_data()
    {
        QTest::addColumn<QString>("command");
        QTest::newRow("empty") << QString();
        QTest::newRow("blanks") << QStringLiteral(" \t ");
        QTest::newRow("no such program") << QStringLiteral("/nonexistent/sendmail -t");
    }
    void commandsThatNeverStart()
    {
        QFETCH(QString, command);
        TestEnvironment env;
        std::optional<SendmailPipe::Result> result;
        SendmailPipe::start(command, "x", [&](SendmailPipe::Result r, const QString &) { result = r; });
        QVERIFY(!result);
        QTRY_VERIFY_WITH_TIMEOUT(result.has_value(), stretched(5000));
        QCOMPARE(*result, SendmailPipe::NotStarted);
    }

    void emailToUsers()
    {
        QList<CEntity> selection(3);
        for (qint32 id : {1, 2, 3})
            selection[id - 1].ID = id;
        const QList<std::tuple<int, bool, QString>> rows = {{3, false, "mailto:me@x?bcc=a@x,Bo%20Hay,c@x"},
                                                            {2, false, "mailto:a@x,Bo%20Hay,c@x"},
                                                            {3, true, "mailto:a@x,Bo%20Hay,c@x"}}; // restricted
        for (const auto &[mode, secure, link] : rows) {
            TestEnvironment env;
            g_vUserList = {user(1, "A", "a@x"), user(2, "Bo Hay", " "), user(3, "C", "c@x")};
            g_oCurrentUser = user(9, "Me", "me@x");
            g_fOutlook = true;
            g_fSecureOutlook = secure;
            QCOMPARE(CClientEmail().SendEmail(selection, mode, false), 10000);
            QCOMPARE(env.shell.opened, QVector<QUrl>{QUrl(link)});
        }
    }

    void appointmentAndWizard()
    {
        TestEnvironment env;
        const QString calendar = env.path("cal.ics");
        SettingsKeys::CalendarPath.write(calendar);
        const double start = DateUtil::toDays(QDate(2026, 12, 4), QTime(10, 0));
        CClientOutlook().AddAppointmentToSchedule(start, start + 0.05, "Board", "MTG", "ann@example.org; Nobody");
        // Written once the contacts were looked at for "Nobody".
        QTRY_COMPARE_WITH_TIMEOUT(env.shell.opened.size(), 1, stretched(5000));
        QVERIFY(readTextFile(calendar).contains("ATTENDEE;RSVP=TRUE:mailto:ann@example.org\r\n"));
        QCOMPARE(QUrlQuery(env.shell.opened[0]).queryItemValue("subject", QUrl::FullyDecoded), QString("Invitation: Board"));
        QVERIFY(saveFile(calendar, "no calendar"));
        CClientOutlook().AddAppointmentToSchedule(start, start + 0.05, "Board", "MTG", QString());
        QCOMPARE(readTextFile(calendar), QString("no calendar"));
        QCOMPARE(env.errorWindow.shown.size(), 1);
        QVERIFY(CClientOutlook().testOutLookInstall(env.path()));
        QVERIFY(!CClientOutlook().testOutLookInstall(env.path("none.ics")));
        QVERIFY(env.prompt.asked.value(0).text.contains("\"CalendarPath\""));

        frmPhMsgWizard wizard;
        wizard.cmdOK->click(); // no caller: asked for one, still open
        QCOMPARE(env.prompt.asked.size(), 2);
        QCOMPARE(wizard.result(), int(QDialog::Rejected));
        wizard.cboName->setEditText("  ");
        wizard.cmdOK->click();
        QCOMPARE(wizard.result(), int(QDialog::Accepted));
    }

    void callJournal()
    {
        TestEnvironment env;
        const QString contacts = env.path("contacts.vcf");
        QVERIFY(saveFile(contacts, "BEGIN:VCARD\r\nVERSION:3.0\r\nN:O'Brien;Seán;;;\r\nORG:Acme\r\nEND:VCARD\r\n"
                                   "BEGIN:VCARD\r\nVERSION:3.0\r\nN:;Cher;;;\r\nEND:VCARD\r\n"));
        SettingsKeys::ContactsPath.write(contacts);
        SettingsKeys::JournalPath.write(env.path("journal/calls.ics"));
        frmPhHistory journal;
        journal.txtLastName->setText(" o'b ");
        journal.cmdFindContact->click();
        QTRY_COMPARE_WITH_TIMEOUT(journal.lvwContacts->topLevelItemCount(), 1, stretched(5000));
        QCOMPARE(journal.lvwContacts->topLevelItem(0)->text(1), QString("O'Brien"));
        journal.txtLastName->clear();
        journal.cmdFindContact->click();
        QTRY_COMPARE_WITH_TIMEOUT(journal.lvwContacts->topLevelItemCount(), 2, stretched(5000));
        journal.lvwContacts_DblClick(journal.lvwContacts->topLevelItem(1));
        auto *entry = journal.findChild<frmJournalEntry *>();
        QVERIFY(entry);
        entry->cmdSave->click();
        const QString saved = readTextFile(env.path("journal/calls.ics"));
        QVERIFY(saved.contains("BEGIN:VJOURNAL"));
        QVERIFY(saved.contains("SUMMARY:Phone Call: Cher \r\n")); // no last name: the first and one blank

        journal.txtFirstName->setText("Ann");
        journal.cmdAddContact->click();
        QCOMPARE(env.shell.opened, QVector<QUrl>{QUrl::fromLocalFile(contacts)});
        journal.txtFirstName->setText("an");
        journal.cmdFindContact->click();
        QTRY_COMPARE_WITH_TIMEOUT(journal.lvwContacts->topLevelItemCount(), 1, stretched(5000));
        QCOMPARE(journal.lvwContacts->topLevelItem(0)->text(0), QString("Ann"));
    }
};

QTEST_MAIN(tst_Mail)
#include "tst_Mail.moc"

#include "TestSupport.h"
#include "foundation/Globals.h"
#include "foundation/MCIFunctions.h"
#include "mail/CClientEmail.h"
#include "mail/frmJournalEntry.h"
#include "mail/frmPhHistory.h"
#include "mail/frmPhMsgWizard.h"
#include "platform/Clock.h"
#include "platform/DateUtil.h"
#include "platform/Registry.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTreeWidget>
#include <QtTest>

namespace {
class AnsweringForm : public IPhoneMessageForm
{
public:
    explicit AnsweringForm(PhoneMessageEntry entry) : m_entry(std::move(entry)) {}
    void SetContactsCBO(const QStringList &) override {}
    std::optional<PhoneMessageEntry> ask(const QString &, const QString &time) override
    {
        m_entry.time = time;
        return m_entry;
    }

private:
    PhoneMessageEntry m_entry;
};

QString settingsKey()
{
    return AppRegistryKey() + QStringLiteral("\\Settings");
}

void setting(const char *name, const QString &value)
{
    SetRegistryValue(QString::fromLatin1(name), RegString, value, settingsKey());
}

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
        QTest::addColumn<QString>("storedCallers"); // "REG_ERR": nothing stored yet
        QTest::addColumn<QString>("caller");
        QTest::addColumn<QString>("message");
        QTest::addColumn<int>("exitCode"); // -1: no such command
        QTest::addColumn<QString>("outcome"); // "sent", "mailto" or "refused"
        QTest::addColumn<QString>("callersAfter");
        QStringList names;
        for (int i = 0; i < 26; ++i)
            names << QStringLiteral("n%1").arg(i);
        QTest::newRow("first caller") << "REG_ERR" << "Zoë" << "Call back" << 0 << "sent" << "Zoë" + QString(26, '#');
        QTest::newRow("a lone dot") << "" << "Ann" << "one\n.\ntwo" << 0 << "sent" << "Ann##";
        QTest::newRow("repeat caller to the front") << "Ann#Bob##" << "Bob" << "x" << 0 << "sent" << "Bob#Ann##";
        QTest::newRow("26 names") << names.join('#') + '#' << "New" << "x" << 0 << "sent"
                                  << "New#" + names.mid(0, 25).join('#') + '#';
        QTest::newRow("command fails") << "" << "Ann" << "x" << 1 << "mailto" << "Ann##";
        QTest::newRow("no such command") << "" << "Ann" << "x" << -1 << "mailto" << "Ann##";
        QTest::newRow("line break in the caller") << "" << "Ann\r\nBcc: all@x" << "x" << 0 << "refused" << "";
    }

    void phoneMessage()
    {
        QFETCH(QString, storedCallers);
        QFETCH(QString, caller);
        QFETCH(QString, message);
        QFETCH(int, exitCode);
        QFETCH(QString, outcome);
        QFETCH(QString, callersAfter);
        TestEnvironment env;
        Clock::pin(QDateTime(QDate(2026, 12, 4), QTime(14, 0)));
        g_vUserList = {user(2, "Ann Lee", "ann@example.org")};
        const QString phoneKey = AppRegistryKey() + QStringLiteral("\\PhoneMessage");
        if (storedCallers != Registry::missingText())
            SetRegistryValue("Contacts", RegString, storedCallers, phoneKey);
        const QString fake = env.path("fake-sendmail");
        QFile script(fake);
        QVERIFY(script.open(QIODevice::WriteOnly));
        script.write(QStringLiteral("#!/bin/sh\necho \"$@\" > \"$0.args\"\ncat > \"$0.mail\"\nexit %1\n")
                         .arg(exitCode).toUtf8());
        script.close();
        script.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        setting("SendmailCommand", (exitCode < 0 ? env.path("missing") : fake) + " -t -i");
        CClientEmail::phoneMessageForm = [&] {
            return std::make_unique<AnsweringForm>(PhoneMessageEntry{caller, {}, "High", "No action required", message});
        };
        QCOMPARE(CClientEmail().PhMessage(2, "Ann Lee"), 10000);

        const QString time = QLocale().toString(Clock::now(), QLocale::ShortFormat);
        const QString subject = "Phone Message From " + caller.trimmed() + " - " + time;
        const QString body = "Caller:" + caller + "\r\nCall Time:" + time +
                             "\r\nPriority:High\r\nAction:No action required\r\nMessage:" + message + "\r\n";
        const QByteArray mail = readTextFile(fake + ".mail").toUtf8();
        QCOMPARE(!mail.isEmpty(), outcome != "refused" && exitCode >= 0);
        if (outcome == "sent") {
            QVERIFY(mail.contains("To: ann@example.org\n"));
            QVERIFY(mail.contains("Subject: =?UTF-8?B?" + subject.toUtf8().toBase64() + "?=") ||
                    mail.contains("Subject: " + subject.toUtf8() + '\n'));
            QVERIFY(mail.endsWith("\n\n" + QString(body).replace("\r\n", "\n").toUtf8()));
            QVERIFY(env.shell.opened.isEmpty());
        } else if (outcome == "mailto") {
            QCOMPARE(env.shell.opened.size(), 1);
            const QUrlQuery query(env.shell.opened[0]);
            QCOMPARE(env.shell.opened[0].path(), QString("ann@example.org"));
            QCOMPARE(query.queryItemValue("subject", QUrl::FullyDecoded), subject);
            QCOMPARE(query.queryItemValue("body", QUrl::FullyDecoded), body);
        } else {
            QVERIFY(env.shell.opened.isEmpty());
        }
        QCOMPARE(GetRegistryValue("Contacts", phoneKey),
                 callersAfter.isEmpty() ? storedCallers : callersAfter);
    }

    void emailToUsers_data()
    {
        QTest::addColumn<int>("mode");
        QTest::addColumn<bool>("secure");
        QTest::addColumn<QString>("link");
        QTest::newRow("mode 3") << 3 << false << "mailto:me@x?bcc=a@x,Bo%20Hay,c@x";
        QTest::newRow("mode 2") << 2 << false << "mailto:a@x,Bo%20Hay,c@x";
        QTest::newRow("restricted") << 3 << true << "mailto:a@x,Bo%20Hay,c@x";
    }

    void emailToUsers()
    {
        QFETCH(int, mode);
        QFETCH(bool, secure);
        QFETCH(QString, link);
        TestEnvironment env;
        g_vUserList = {user(1, "A", "a@x"), user(2, "Bo Hay", " "), user(3, "C", "c@x")};
        g_oCurrentUser = user(9, "Me", "me@x");
        g_fOutlook = true;
        g_fSecureOutlook = secure;
        QList<CEntity> selection;
        for (qint32 id : {1, 2, 3}) {
            selection.append(CEntity());
            selection.last().ID = id;
        }
        QCOMPARE(CClientEmail().SendEmail(selection, mode, false), 10000);
        QCOMPARE(env.shell.opened, QVector<QUrl>{QUrl(link)});
    }

    void appointmentAndWizard()
    {
        TestEnvironment env;
        const QString calendar = env.path("cal.ics");
        setting("CalendarPath", calendar);
        const double start = DateUtil::toDays(QDate(2026, 12, 4), QTime(10, 0));
        CClientOutlook().AddAppointmentToSchedule(start, start + 0.05, "Board", "MTG", "ann@example.org; Nobody");
        QVERIFY(readTextFile(calendar).contains("ATTENDEE;RSVP=TRUE:mailto:ann@example.org\r\n"));
        QCOMPARE(env.shell.opened.size(), 1);
        QCOMPARE(QUrlQuery(env.shell.opened[0]).queryItemValue("subject", QUrl::FullyDecoded), QString("Invitation: Board"));
        QFile broken(calendar);
        QVERIFY(broken.open(QIODevice::WriteOnly | QIODevice::Truncate));
        broken.write("no calendar");
        broken.close();
        CClientOutlook().AddAppointmentToSchedule(start, start + 0.05, "Board", "MTG", QString());
        QCOMPARE(readTextFile(calendar), QString("no calendar"));
        QCOMPARE(env.errorWindow.shown.size(), 1);

        frmPhMsgWizard wizard;
        wizard.cmdOK->click(); // no caller: asked for one, still open
        QCOMPARE(env.prompt.asked.size(), 1);
        QCOMPARE(wizard.result(), int(QDialog::Rejected));
        wizard.cboName->setEditText("  ");
        wizard.cmdOK->click();
        QCOMPARE(wizard.result(), int(QDialog::Accepted));
    }

    void installTest()
    {
        TestEnvironment env;
        CClientOutlook link;
        QVERIFY(link.testOutLookInstall(env.path()));
        QVERIFY(!link.testOutLookInstall(env.path("none.ics")));
        QCOMPARE(env.prompt.asked.size(), 1);
        QVERIFY(env.prompt.asked[0].text.contains("\"CalendarPath\""));
    }

    void callJournal()
    {
        TestEnvironment env;
        const QString contacts = env.path("contacts.vcf");
        QFile file(contacts);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("BEGIN:VCARD\r\nVERSION:3.0\r\nN:O'Brien;Seán;;;\r\nORG:Acme\r\nEND:VCARD\r\n"
                   "BEGIN:VCARD\r\nVERSION:3.0\r\nN:;Cher;;;\r\nEND:VCARD\r\n");
        file.close();
        setting("ContactsPath", contacts);
        setting("JournalPath", env.path("journal/calls.ics"));
        frmPhHistory journal;
        journal.txtLastName->setText(" o'b ");
        journal.cmdFindContact->click();
        QCOMPARE(journal.lvwContacts->topLevelItemCount(), 1);
        QCOMPARE(journal.lvwContacts->topLevelItem(0)->text(1), QString("O'Brien"));
        journal.txtLastName->clear();
        journal.cmdFindContact->click();
        QCOMPARE(journal.lvwContacts->topLevelItemCount(), 2);
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
        QCOMPARE(journal.lvwContacts->topLevelItem(0)->text(0), QString("Ann"));
    }
};

QTEST_MAIN(tst_Mail)
#include "tst_Mail.moc"

#include "OptionsFakes.h"
#include "admin/CClientAdmin.h"
#include "admin/COptionsEditor.h"
#include "admin/frmOptions.h"
#include "admin/OptionsRegistry.h"
#include "admin/PageList.h"
#include "admin/StatusComboItems.h"
#include "datetime/ucDateTime.h"
#include "foundation/CTreeNode.h"
#include "foundation/StringTable.h"
#include "platform/AppError.h"
#include "platform/DateUtil.h"

#include <QtTest>
#include <QtWidgets>

namespace {

using Runner = COptionsEditor::Runner;

// Opens the dialog through the editor, lets the runner drive it and gives
// the result; -1 when the program ended.
int edit(const Runner &runner, bool newUser, bool self, bool atLogin = false, bool addAnother = false)
{
    COptionsEditor editor(runner);
    try {
        // At log-in the new user cannot make himself an administrator.
        return editor.EditUserProperties(newUser, QStringLiteral("newbie"), !atLogin, self, atLogin, addAnother);
    } catch (const ProgramEnded &) {
        return -1;
    }
}

int activeUsers(OptionsWorld &world)
{
    return world.db.value("SELECT COUNT(*) FROM STAFF_STATUS WHERE IsActive = 1").toInt();
}

} // namespace

class tst_OptionsDialog : public QObject
{
    Q_OBJECT
private slots:
    void everyTabIsFilledFromTheRecord()
    {
        OptionsWorld world(false, "options_tabs");
        world.db.exec(QStringLiteral(
            "UPDATE STAFF_OPTIONS SET ChangeStatus = 0, Outlook = 1, OutlookOOP = 0, LunchTimePeriod = 40, "
            "BreakPeriod = 12, RefreshPeriod = 45, Language = 'SPN', OnClose = 3, OnListDblClick = 2, StartMin = 1, "
            "WorkStartTime = '09:15:00' WHERE UserID = 1"));
        world.db.exec("UPDATE STAFF_STATUS SET Email = 'me@example.org', PhExtension = '42' WHERE UserID = 1");
        world.db.exec("INSERT INTO UserGroup (UserID, GroupID) VALUES (1, 40)");
        world.db.exec("INSERT INTO QUICKNOTES (UserID, NoteType, QuickNote) VALUES (1, 1, 'Here')");
        world.db.exec("UPDATE Properties SET pvalue = 'true' WHERE pkey = 'enb_olk'");
        for (const auto &[name, value] : {std::pair{"IconSize", "32"}, {"HIDE_COL_OUT", "False"},
                                          {"HIDE_COL_MOBILE", "True"}, {"OutlookBusy", "DND"}})
            SetRegistryValue(name, RegString, value, OptionsRegistry::settingsKey());
        g_sCurrentNodeKey = "NOD40";
        SetLanguage("FRA");

        QCOMPARE(edit([&](frmOptions &f) {
                     QCOMPARE(f.windowTitle(), QStringLiteral("Options for Me Myself"));
                     QCOMPARE(f.tabOptions->tabText(0), StringTable::text(1220)); // in his language
                     QCOMPARE(QStringList({f.txtRealName->text(), f.txtEmail->text(), f.txtMobileNumber->text(),
                                           f.txtPhoneExtension->text(), f.txtLoginName->text(), f.txtLunchPeriod->text(),
                                           f.txtBreakPeriod->text(), f.txtFields[0]->text(), f.txtFields[1]->text()}),
                              QStringList({"Me Myself", "me@example.org", "0700", "42", "ME", "40", "12", "Here",
                                           "Here"})); // note type In shown
                     QVERIFY(f.chkAdmin->isChecked() && f.optListDblClick[2]->isChecked() && f.optIconSize[1]->isChecked());
                     QVERIFY(!f.optListDblClick[0]->isEnabled()); // he may not change others' status
                     QCOMPARE(f.Slider1->value(), 450);
                     QVERIFY(f.chkColumns[3]->isChecked() && f.chkColumns[1]->isChecked() && !f.chkColumns[0]->isChecked());
                     QVERIFY(f.chkByStatus->isChecked() && f.chkStartUp->isChecked() && f.optOnClose[3]->isChecked());
                     QVERIFY(f.chkOutlookExtensions->isChecked() && !f.chkOutlookParallelProcess->isChecked());
                     QVERIFY(f.fraOutlook->isEnabled());
                     QCOMPARE(f.getStatusComboValue(1) + f.getStatusComboValue(0), QStringLiteral("DNDMTA"));
                     QCOMPARE(f.ucStartWorkTime->TimeValue(), DateUtil::fromTime(QTime(9, 15)));
                     QCOMPARE(f.lvwGroupsJoined->count(), 1);
                     QCOMPARE(f.lvwGroupsJoined->item(0)->text(), QStringLiteral("Support"));
                     QCOMPARE(f.icboGroups->count(), 3); // the user groups, not the web link
                     QVERIFY(f.optLanguage[5]->isChecked() && !f.optLanguage[5]->isEnabled());
                     QCOMPARE(f.getSelectedLanguage(), QStringLiteral("SPN"));
                     for (int tab = 0; tab < OptionsSetup::Tabs; ++tab)
                         QVERIFY(f.tabOptions->isTabEnabled(tab));
                     f.cmdOK->click();
                     QVERIFY(!f.isVisible() && !f.Cancelled);
                 },
                      false, true),
                 ErrNo::Success);
        QCOMPARE(GetRegistryValue("DefaultBranch", OptionsRegistry::settingsKey()), QStringLiteral("NOD40"));
        QCOMPARE(world.db.value("SELECT Language FROM STAFF_OPTIONS WHERE UserID = 1").toString(),
                 QStringLiteral("SPN")); // the language not offered is kept
        QCOMPARE(g_lLastUpdated, -1);
        QVERIFY(world.main->calls.contains(QStringLiteral("USR1/6=0700")));
    }

    void formInEveryLanguage()
    {
        TestEnvironment env;
        for (const char *language : {"ENU", "FRA", "GER", "ITA", "PRT", "SPN", "NED"}) {
            SetLanguage(QLatin1String(language));
            frmOptions form;
            QCOMPARE(form.getStatusComboValue(3), QStringLiteral("MTO")); // the default
            for (int combo = 0; combo < StatusComboItems::Combos; ++combo) {
                for (const QString &code : StatusComboItems::codes()) {
                    form.setStatusComboValue(combo, code);
                    QCOMPARE(form.getStatusComboValue(combo), code);
                    QCOMPARE(form.cboStatus[combo]->currentText(), GetStatusDescription(code));
                }
                form.setStatusComboValue(combo, "XQZ");
                QCOMPARE(form.getStatusComboValue(combo), StatusComboItems::codes().last());
            }
            // Every page's name is in sight, whole, without scrolling.
            form.tabOptions->setCurrentIndex(OptionsSetup::RefreshFrequency);
            form.show();
            const auto *names = form.tabOptions->findChild<QListWidget *>("pageNames");
            QVERIFY(names);
            for (int page = 0; page < OptionsSetup::Tabs; ++page) {
                const QRect place = names->visualItemRect(names->item(page));
                QVERIFY2(names->viewport()->rect().contains(place), qPrintable(names->item(page)->text()));
                QVERIFY(names->fontMetrics().horizontalAdvance(names->item(page)->text()) < place.width());
            }
            checkRefreshScale(form);
            if (QTest::currentTestFailed())
                return;
        }
        SetLanguage("ENU");
    }

    void quickNotesAndTheCalendarBox()
    {
        OptionsWorld world(false, "options_notes");
        world.db.exec("UPDATE Properties SET pvalue = 'false' WHERE pkey = 'enb_olk'");
        edit([](frmOptions &f) {
                 QVERIFY(f.chkOutlookExtensions->isChecked()); // his setting, though the system has it off
                 QVERIFY(!f.chkOutlookExtensions->isEnabled() && !f.fraOutlook->isEnabled());
                 f.txtLunchPeriod->setText(QStringLiteral("abc"));
                 f.cboNoteType->setCurrentIndex(1);
                 emit f.cboNoteType->activated(1); // Out: no note yet
                 QVERIFY(f.txtFields[0]->text().isEmpty() && f.txtFields[1]->text().isEmpty());
                 f.cmdAddToken->click(); // no token chosen
                 QVERIFY(f.txtFields[0]->text().isEmpty());
                 f.cboTokens->setCurrentIndex(8);
                 f.cmdAddToken->click();
                 QCOMPARE(f.txtFields[0]->text(), QStringLiteral("[+2]"));
                 QCOMPARE(f.QuickNotes.rows[2].note, QStringLiteral("[+2]"));
                 QVERIFY(!f.txtFields[1]->text().contains(u'[')); // shown with 0 lunch minutes
                 f.txtLunchPeriod->setText(QStringLiteral("30"));
                 f.cmdOK->click();
             },
             false, true);
        QCOMPARE(world.db.value("SELECT COUNT(*) FROM QUICKNOTES WHERE UserID = 1").toInt(), 1);
        QCOMPARE(world.db.value("SELECT NoteType FROM QUICKNOTES WHERE UserID = 1").toInt(), 2);
        QCOMPARE(readUser(OptionsWorld::kMe).Outlook, true);
        QVERIFY(!g_fOutlook);
    }

    void adminBoxGroupButtonsAndInvalidEntries()
    {
        OptionsWorld world(false, "options_buttons");
        world.main->selectedKey = QStringLiteral("USR2");
        world.db.env.prompt.answers = {IPrompt::AnswerNo};
        const auto asked = [&] { return world.db.env.prompt.asked.last().title + u'|' + world.db.env.prompt.asked.last().text; };
        edit([&](frmOptions &f) {
                 f.show();
                 f.chkAdmin->click();
                 QVERIFY(f.chkAdmin->isChecked()); // No keeps the access
                 QVERIFY(asked().startsWith(QStringLiteral("Admin Access|")));
                 QVERIFY(!f.tabOptions->isTabEnabled(OptionsSetup::VisualPreferences));
                 QVERIFY(!f.cmdAddGroup->isEnabled() && !f.cmdRemoveGroup->isEnabled());
                 const int sales = f.icboGroups->findText(QStringLiteral("Sales")); // which he has
                 f.icboGroups->setCurrentIndex(sales);
                 emit f.icboGroups->activated(sales);
                 f.cmdAddGroup->click();
                 QVERIFY(asked().endsWith(QStringLiteral("|Sales has already been added.")));
                 f.lvwGroupsJoined->setCurrentRow(0);
                 QVERIFY(f.cmdRemoveGroup->isEnabled());
                 f.cmdRemoveGroup->click();
                 QCOMPARE(f.lvwGroupsJoined->count(), 0);
                 QVERIFY(!f.cmdRemoveGroup->isEnabled());
                 // Invalid entries keep the dialog open.
                 f.txtRealName->clear();
                 f.txtLoginName->setText(" ");
                 f.txtBreakPeriod->setText("ten");
                 world.db.env.prompt.answers = {IPrompt::AnswerYes}; // no group: save all the same
                 f.cmdOK->click();
                 QVERIFY(f.isVisible() && f.savedCount() == 0);
                 QCOMPARE(asked(), QStringLiteral("Warning|Some required data is missing:\nReal name\nLogin name\n"
                                                  "Minutes usually taken for breaks (numeric values only)\n"));
                 f.cmdCancel->click();
             },
             false, false);
        QCOMPARE(world.groupRows(OptionsWorld::kOther), QList<int>{30}); // cancelled: nothing stored
        QVERIFY(world.main->calls.isEmpty());
        QCOMPARE(g_lLastUpdated, 100);
    }

    void saveAndAddNewTwice()
    {
        OptionsWorld world(false, "options_add");
        const auto addUser = [](frmOptions &f, const QString &name, const QString &login) {
            f.txtRealName->setText(name);
            f.txtLoginName->setText(login);
            f.cmdAddAnother->click();
            QVERIFY(f.txtRealName->text().isEmpty() && f.txtLoginName->text().isEmpty());
            QCOMPARE(f.tabOptions->currentIndex(), 0);
        };
        QCOMPARE(edit([&](frmOptions &f) {
                     QCOMPARE(f.windowTitle(), QStringLiteral("Add User"));
                     QVERIFY(!f.chkAdmin->isChecked()); // there are users already
                     QVERIFY(!f.tabOptions->isTabEnabled(OptionsSetup::QuickSetNotes));
                     const int support = f.icboGroups->findText(QStringLiteral("Support"));
                     f.icboGroups->setCurrentIndex(support);
                     emit f.icboGroups->activated(support);
                     f.cmdAddGroup->click();
                     f.tabOptions->setCurrentIndex(7);
                     addUser(f, QStringLiteral("First"), QStringLiteral("first"));
                     addUser(f, QStringLiteral("Second"), QStringLiteral("second"));
                     // A name in use is refused with a warning; the dialog keeps what was typed.
                     f.txtRealName->setText(QStringLiteral("Third"));
                     f.txtLoginName->setText(QStringLiteral(" First"));
                     f.cmdAddAnother->click();
                     QCOMPARE(f.txtRealName->text() + f.txtLoginName->text(), QStringLiteral("Third First"));
                     QCOMPARE(world.db.env.prompt.asked.last().title, QStringLiteral("Login Name in Use"));
                     f.cmdCancel->click();
                 },
                      true, false, false, true),
                 ErrNo::Success);
        QCOMPARE(world.db.env.prompt.asked.size(), 3);
        QCOMPARE(world.db.env.prompt.asked[1].title + u'|' + world.db.env.prompt.asked[1].text,
                 QStringLiteral("User Added|Second has been added."));
        QCOMPARE(activeUsers(world), 4);
        QCOMPARE(world.groupRows(3) + world.groupRows(4), QList<int>({40, 40}));
        QCOMPARE(g_lLastUpdated, -1); // saved users are read again though the dialog was cancelled
    }

    void logInCancelledOrCreatingTheFirstUser()
    {
        OptionsWorld world(false, "options_login");
        const Runner cancel = [](frmOptions &f) { f.cmdCancel->click(); };
        QCOMPARE(edit(cancel, true, false, true), -1);
        QCOMPARE(edit(cancel, true, false, false), int(ErrNo::Success)); // from the main window it goes on
        QCOMPARE(edit(cancel, false, true, false), int(ErrNo::Success));
        QCOMPARE(activeUsers(world), 2);
        QCOMPARE(g_lLastUpdated, 100);
        QVERIFY(world.main->calls.isEmpty());

        world.db.exec("UPDATE STAFF_STATUS SET IsActive = 0");
        g_frmMain.reset();
        world.db.env.prompt.answers = {IPrompt::AnswerYes}; // no group chosen: add him anyway
        QCOMPARE(edit([](frmOptions &f) {
                     QVERIFY(f.chkAdmin->isChecked() && !f.chkAdmin->isEnabled());
                     QCOMPARE(f.txtLoginName->text(), QStringLiteral("newbie"));
                     QVERIFY(!f.txtLoginName->isEnabled()); // the log-in finds him by it, even with -admin
                     f.txtRealName->setText("New O'Neil");
                     f.cmdOK->click();
                 },
                      true, false, true),
                 ErrNo::Success);
        const QVariant id = world.db.value("SELECT UserID FROM STAFF_OPTIONS WHERE LoginName = 'NEWBIE'");
        QVERIFY(id.isValid());
        QuickNoteTable notes;
        const UserRecord user = readUser(id.toInt(), &notes);
        QVERIFY(user.Admin && user.RealName == QStringLiteral("New O'Neil"));
        QCOMPARE(notes.rows[6].note, QStringLiteral("Gone Home, Due Back [next work day] - [start time]"));
        QVERIFY(notes.rows[3].stored && notes.rows[4].stored && !notes.rows[1].stored);
    }

private:
    // The numbers under the refresh slider stand where its handle stands for
    // them: their middles within two pixels of the handle's.
    static void checkRefreshScale(frmOptions &form)
    {
        const QImage scale = form.lblNormalPollTimes[0]->grab().toImage();
        QList<int> inked; // the columns holding ink
        for (int x = 0; x < scale.width(); ++x)
            for (int y = 0; y < scale.height() && (inked.isEmpty() || inked.last() != x); ++y)
                if (qGray(scale.pixel(x, y)) < 128)
                    inked << x;
        QList<double> numbers; // the middle of each group of inked columns
        for (qsizetype i = 0, first = 0; i < inked.size(); ++i) {
            if (i + 1 == inked.size() || inked[i + 1] - inked[i] > 4) {
                numbers << (inked[first] + inked[i]) / 2.0;
                first = i + 1;
            }
        }
        QCOMPARE(numbers.size(), 10);
        QStyleOptionSlider slider;
        slider.initFrom(form.Slider1);
        slider.minimum = form.Slider1->minimum();
        slider.maximum = form.Slider1->maximum();
        for (int minutes = 1; minutes <= 10; ++minutes) {
            slider.sliderPosition = slider.sliderValue = 60 * minutes;
            const QRect handle = form.Slider1->style()->subControlRect(QStyle::CC_Slider, &slider, QStyle::SC_SliderHandle,
                                                                       form.Slider1);
            const int middle = form.lblNormalPollTimes[0]->mapFrom(&form, form.Slider1->mapTo(&form, handle.center())).x();
            QVERIFY2(qAbs(numbers[minutes - 1] - middle) <= 2, qPrintable(QString::number(minutes)));
        }
    }
};

QTEST_MAIN(tst_OptionsDialog)
#include "tst_OptionsDialog.moc"

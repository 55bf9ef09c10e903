#include "PgServer.h"
#include "ScriptedDialogs.h"
#include "TestSupport.h"
#include "admin/frmStatusChange.h"
#include "dialogs/FileChoiceDialog.h"
#include "dialogs/FontChoiceDialog.h"
#include "dialogs/QtPrompt.h"
#include "dialogs/frmAbout.h"
#include "dialogs/frmError.h"
#include "dialogs/frmFileDialog.h"
#include "foundation/Globals.h"
#include "foundation/MCIFunctions.h"
#include "platform/AppError.h"

#include <QtTest>
#include <QtWidgets>

namespace {

// The scripted dialogs in place of the desktop's for one test.
struct UseScripted
{
    UseScripted() : saved(g_commonDialogs) { g_commonDialogs = &dialogs; }
    ~UseScripted() { g_commonDialogs = saved; }
    ScriptedDialogs dialogs;
    ICommonDialogBackend *saved;
};

} // namespace

class tst_Dialogs : public QObject
{
    Q_OBJECT
private slots:
    void commonDialogsCarryThePropertiesInAndTheChoiceBack()
    {
        TestEnvironment env;
        UseScripted scripted;
        cCommonDialog d;
        d.Filter = QStringLiteral("Text|*.txt|Databases|*.db;*.sqlite");
        d.FilterIndex = 0;
        d.flags = 64 + 4096 + 512; // template, file must exist, several files
        scripted.dialogs.files = {QStringLiteral("/data/a.db"), QStringLiteral("/data/b.db")};
        scripted.dialogs.filterIndex = 1;
        d.ShowOpen();
        const auto &asked = scripted.dialogs.fileAsked;
        QCOMPARE(asked.nameFilters, QStringList({QStringLiteral("Text (*.txt)"), QStringLiteral("Databases (*.db *.sqlite)")}));
        QCOMPARE(std::tuple(asked.filterIndex, asked.fileMustExist, asked.multiSelect), std::tuple(0, true, true));
        QCOMPARE(d.flags, 4096u + 512u);
        QCOMPARE(std::tuple(d.Filter, d.FilterIndex, d.FileTitle),
                 std::tuple(QStringLiteral("Databases|*.db;*.sqlite"), 2, QStringLiteral("a.db")));
        QString folder;
        QStringList names;
        int count = 0;
        d.ParseMultiFileName(folder, names, count);
        QCOMPARE(std::tuple(folder, names, count),
                 std::tuple(QStringLiteral("/data"), QStringList({QStringLiteral("a.db"), QStringLiteral("b.db")}), 2));
        // One file: its folder apart, but for the root, whose name keeps the slash.
        for (const auto &[fileName, inFolder, name] : {std::tuple("/srv/db/Staff.db", "/srv/db", "Staff.db"),
                                                        std::tuple("Staff.db", "", "Staff.db"),
                                                        std::tuple("/Staff.db", "", "/Staff.db")}) {
            d.Filename = QLatin1String(fileName);
            d.ParseMultiFileName(folder, names, count);
            QCOMPARE(std::tuple(folder, names, count), std::tuple(QString::fromLatin1(inFolder), QStringList{QString::fromLatin1(name)}, 1));
        }

        d.HelpFile = QStringLiteral("/usr/share/doc/tessaly/help.html");
        d.HelpCommand = 515; // a window command: refused, nothing opened
        QVERIFY_THROWS_EXCEPTION(AppError, d.ShowHelp());
        QVERIFY(env.shell.opened.isEmpty());
        d.HelpCommand = 3;
        d.ShowHelp();
        QCOMPARE(env.shell.opened, QList<QUrl>{QUrl::fromLocalFile(d.HelpFile)});
        d.Font = QFont(QStringLiteral("DejaVu Sans"), 9);
        d.Min = 8;
        d.Max = 24;
        d.flags = 257;
        scripted.dialogs.font = QFont(QStringLiteral("DejaVu Serif"), 12);
        d.ShowFont();
        QCOMPARE(std::tuple(scripted.dialogs.fontAsked.minSize, scripted.dialogs.fontAsked.maxSize,
                            scripted.dialogs.fontAsked.effects), std::tuple(8, 24, true));
        QCOMPARE(std::tuple(d.Font.family(), d.FontColor), std::tuple(QStringLiteral("DejaVu Serif"), QColor(Qt::darkBlue)));
        QCOMPARE(d.flags, 1u + 256 + 8192 + 64);
        d.setFontBold(true), d.setFontUnderline(true), d.setFontSize(11);
        QCOMPARE(std::tuple(d.FontName(), d.FontSize(), d.FontBold(), d.FontItalic(), d.Font.underline()),
                 std::tuple(QStringLiteral("DejaVu Serif"), 11, true, false, true));
        d.Color = Qt::red;
        d.ShowColor();
        QCOMPARE(std::tuple(scripted.dialogs.colourAsked, d.Color), std::tuple(QColor(Qt::red), QColor(Qt::darkBlue)));
        scripted.dialogs.copies = 3;
        d.flags = 2 + 16;
        d.ShowPrinter();
        QCOMPARE(std::tuple(d.Copies, scripted.dialogs.printAsked.pageNumbers, scripted.dialogs.printAsked.collate),
                 std::tuple(3, true, true));

        d.setCustomColor(16, Qt::red);
        d.setCustomColor(3, Qt::green);
        QCOMPARE(std::tuple(d.CustomColor(16).isValid(), d.CustomColor(-1).isValid(), d.CustomColor(3)),
                 std::tuple(false, false, QColor(Qt::green)));

        scripted.dialogs.ok = false;
        d.ShowOpen();
        QCOMPARE(std::tuple(d.Filename, d.Filter, d.FilterIndex, d.flags), std::tuple(QString(), QString(), -1, 0u));
        d.ShowSave();
        QCOMPARE(d.FilterIndex, 0);

        // A cancel raises only when asked to, and the printer never.
        d.cancelError = true;
        const struct { void (cCommonDialog::*show)(); bool raises; } shows[] = {
            {&cCommonDialog::ShowOpen, true}, {&cCommonDialog::ShowSave, true}, {&cCommonDialog::ShowColor, true},
            {&cCommonDialog::ShowFont, true}, {&cCommonDialog::ShowPrinter, false}};
        for (const auto &[show, raises] : shows) {
            try {
                (d.*show)();
                QVERIFY(!raises);
            } catch (const AppError &e) {
                QVERIFY(raises);
                QCOMPARE(std::tuple(e.number(), e.source(), e.description()),
                         std::tuple(20001, QStringLiteral("tessaly.cCommonDialog"), QStringLiteral("User selected cancel.")));
            }
        }
        d.cancelError = false;
        d.ShowFont();
        QCOMPARE(d.Font.family(), QStringLiteral("DejaVu Serif"));
    }

    void aRefusedOkKeepsTheFileDialogUp()
    {
        cCommonDialog events;
        int refusals = 1;
        connect(&events, &cCommonDialog::DialogOK, this, [&](bool &cancel) { cancel = refusals-- > 0; });
        FileChoiceDialog dialog(nullptr, true, &events);
        dialog.open();
        dialog.selectFile(QStringLiteral("/no-such-folder/a.db")); // the folder must exist
        dialog.accept();
        QCOMPARE(std::tuple(dialog.isVisible(), refusals), std::tuple(true, 1));
        dialog.selectFile(QDir::temp().filePath(QStringLiteral("a.db")));
        dialog.accept();
        QVERIFY(dialog.isVisible());
        dialog.accept();
        QCOMPARE(std::tuple(dialog.isVisible(), dialog.result()), std::tuple(false, int(QDialog::Accepted)));
    }

    void theFontDialogKeepsToItsSizes()
    {
        ICommonDialogBackend::FontRequest request{QFont(QStringLiteral("DejaVu Sans"), 30), Qt::black, 8, 24, false};
        FontChoiceDialog dialog(request, nullptr);
        auto *sizes = dialog.findChild<QComboBox *>(QStringLiteral("cboSize"));
        QCOMPARE(std::tuple(sizes->itemText(0), sizes->itemText(sizes->count() - 1), sizes->currentText()),
                 std::tuple(QStringLiteral("8"), QStringLiteral("24"), QStringLiteral("24")));
        sizes->setEditText(QStringLiteral("4"));
        QCOMPARE(dialog.choice().font.pointSize(), 8);
        QVERIFY(dialog.findChild<QCheckBox *>(QStringLiteral("chkUnderline"))->isHidden());
        QCOMPARE(FontChoiceDialog::clampedSize(30, 0, 0), 30);

        // Typed beyond the limit: brought down as it is typed, in the box and the sample; below it, once left.
        for (const auto &[typed, asTyped, left] : {std::tuple("40", "24", "24"), std::tuple("5", "5", "8")}) {
            sizes->lineEdit()->clear();
            QTest::keyClicks(sizes->lineEdit(), QLatin1String(typed));
            QCOMPARE(sizes->currentText(), QLatin1String(asTyped));
            QTest::keyClick(sizes->lineEdit(), Qt::Key_Return);
            QCOMPARE(sizes->currentText(), QLatin1String(left));
        }
        QCOMPARE(dialog.findChild<QLabel *>(QStringLiteral("lblSample"))->font().pointSize(), 8);
        // The family shown for an alias is the one chosen.
        auto *families = dialog.findChild<QFontComboBox *>(QStringLiteral("cboFamily"));
        families->setCurrentFont(QFont(QStringLiteral("Sans Serif")));
        families->setCurrentIndex(families->findText(QStringLiteral("DejaVu Sans")));
        QCOMPARE(dialog.choice().font.family(), QStringLiteral("DejaVu Sans"));
    }

    void locationDialogChecksBeforeItCloses()
    {
        TestEnvironment env;
        UseScripted scripted;
        frmFileDialog form;
        form.showChoice({QStringLiteral("SQLServer"), QStringLiteral("dbhost"), QStringLiteral("host=dbhost")});
        QVERIFY(form.txtConn->isHidden());
        QCOMPARE(std::tuple(form.getDBType(), form.choice().location), std::tuple(QStringLiteral("SQLServer"), QStringLiteral("dbhost")));

        // A server that does not answer: the reason, without the password, and the form stays.
        form.txtConn->setText(QStringLiteral("host=127.0.0.1 port=1 dbname=x user=u password=s3cret connect_timeout=2"));
        form.OKButton_Click();
        QVERIFY(form.result() != QDialog::Accepted && !form.lblError->isHidden());
        QVERIFY(!form.lblError->text().isEmpty() && !form.lblError->text().contains(QStringLiteral("s3cret")));
        const QString log = readTextFile(env.path(QStringLiteral("logs/debug.log")));
        QVERIFY(log.contains(QStringLiteral("password=*****")) && !log.contains(QStringLiteral("s3cret")));
        if (PgServer::available()) {
            form.txtConn->setText(PgServer::adminConnInfo());
            form.OKButton_Click();
            QCOMPARE(form.result(), int(QDialog::Accepted));
        }

        // The file tab: an empty path is refused; Browse cancelled keeps the path.
        frmFileDialog fileForm;
        QCOMPARE(fileForm.txtAccess->text(), DefaultEmbeddedDatabasePath());
        scripted.dialogs.ok = false;
        fileForm.cmdBrowse_Click();
        QCOMPARE(fileForm.txtAccess->text(), DefaultEmbeddedDatabasePath());
        QCOMPARE(std::tuple(scripted.dialogs.fileAsked.pathMustExist, scripted.dialogs.fileAsked.fileMustExist),
                 std::tuple(true, false));
        fileForm.txtAccess->clear();
        fileForm.OKButton_Click();
        QCOMPARE(env.prompt.asked.value(0).title, QStringLiteral("Tessaly"));
        QVERIFY(fileForm.result() != QDialog::Accepted);
        fileForm.txtAccess->setText(DefaultEmbeddedDatabasePath());
        fileForm.OKButton_Click(); // the default folder is made
        QCOMPARE(fileForm.result(), int(QDialog::Accepted));
        QVERIFY(QFile::exists(DefaultEmbeddedDatabasePath()));

        frmFileDialog leaving;
        leaving.tabControl->setCurrentIndex(1);
        leaving.chkNetwork->setChecked(true);
        leaving.OKButton_Click();
        QCOMPARE(std::tuple(leaving.result(), env.prompt.asked.size()), std::tuple(int(QDialog::Accepted), 1));
    }

    // The window manager's titles and the wrapped explanations, whole in every
    // language; the about box in the user's.
    void windowsFitTheirTextsInEveryLanguage()
    {
        TestEnvironment env;
        for (const char *language : {"ENU", "FRA", "ITA", "GER", "SPN"}) {
            SetLanguage(QLatin1String(language));
            frmStatusChange several;
            several.setCaption(GetResString(322));
            QMessageBox box;
            QtPrompt::prepare(box, QStringLiteral("Resource Checked In"), IPrompt::Information,
                              QStringLiteral("Check In Complete"));
            frmFileDialog location;
            location.tabControl->setCurrentIndex(1);
            for (QWidget *window : QList<QWidget *>{&several, &box, &location}) {
                window->show(); // a window manager draws the title in bold beside the icon and three buttons
                QFont bold = window->font();
                bold.setBold(true);
                QVERIFY2(window->width() >= QFontMetrics(bold).horizontalAdvance(window->windowTitle()) + 4 * 24,
                         qPrintable(window->windowTitle()));
            }
            location.txtSQL->setText(QStringLiteral("127.0.0.1:1")); // refused: nothing listens there
            location.OKButton_Click();
            location.cmdAdvanced_Click(); // one more box on the tab
            for (const QLabel *label : {location.lblSQLDB, location.lblServerDefaults, location.lblError})
                QTRY_VERIFY2_WITH_TIMEOUT(label->height() >= label->heightForWidth(label->width()), // else clipped
                                          qPrintable(QString::fromLatin1(language) + u' ' + label->objectName()),
                                          stretched(5000));
            frmAbout about;
            if (QLatin1String(language) == QLatin1String("FRA"))
                QCOMPARE(about.windowTitle().left(12) + about.lblVersion->text(),
                         QStringLiteral("Au sujet de Version %1.%2.%3 (Français)")
                             .arg(TESSALY_VERSION_MAJOR).arg(TESSALY_VERSION_MINOR).arg(TESSALY_VERSION_REVISION));
            // What a server name alone connects to, as stored settings rely on.
            QVERIFY(location.lblServerDefaults->text().contains(QStringLiteral(" StaffData "))
                    && location.lblServerDefaults->text().contains(QStringLiteral(" tessal ")));
        }
        SetLanguage(QStringLiteral("ENU"));
    }

    void theErrorFormTogglesDetailsAndAnswers()
    {
        frmError form;
        QCOMPARE(form.answer(), 5); // closing from the title bar continues
        // Collapsed, the window ends below its button and above the details.
        QVERIFY(form.cmdDetails->geometry().bottom() < form.height() && form.txtDetails->y() >= form.height());
        QVERIFY(form.cmdDetails->width() >= form.cmdDetails->sizeHint().width()
                && form.cmdContinue->geometry().right() < form.width());
        form.cmdDetails->click();
        QVERIFY(form.detailsShown());
        QVERIFY(form.txtDetails->geometry().bottom() < form.height());
        form.cmdDetails->click();
        QCOMPARE(form.heightTwips(), frmError::kShortHeightTwips);
        form.show();
        form.cmdExit->click();
        QCOMPARE(form.answer(), 3);
        QVERIFY(!form.isVisible());
    }
};

QTEST_MAIN(tst_Dialogs)
#include "tst_Dialogs.moc"

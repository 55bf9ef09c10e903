#include "TestSupport.h"
#include "app/ApplicationSetUp.h"
#include "dialogs/QtPrompt.h"
#include "tray/MessageWindows.h"
#include "tray/frmDialog.h"
#include "tray/frmInstantMessage.h"

#include <QMessageBox>
#include <QProcess>
#include <QtTest>

namespace {

// A property of the window as the X server holds it, in xprop's words.
QString xprop(QWidget *window, const char *property)
{
    QProcess process;
    process.start(QStringLiteral("xprop"), {QStringLiteral("-id"), QString::number(window->winId()),
                                            QStringLiteral("-notype"), QLatin1String(property)});
    process.waitForFinished();
    return QString::fromUtf8(process.readAllStandardOutput()).trimmed();
}

} // namespace

class tst_Windows_x11 : public QObject
{
    Q_OBJECT

private slots:
    void windowsCarryTheIconAndNoticesSkipTheTaskBar()
    {
        if (QGuiApplication::platformName() != QLatin1String("xcb"))
            QSKIP("needs the X11 platform");
        SetUpApplication(*qApp);
        TestEnvironment env;
        MessageWindows windows([] { return nullptr; });
        QMessageBox box;
        QtPrompt::prepare(box, QStringLiteral("Resource Checked In"), IPrompt::Information, QString());
        frmDialog notice;
        notice.display();
        for (QWidget *window : QList<QWidget *>{&windows.chat(), &windows.instantMessage(), &box, &notice}) {
            window->show();
            QVERIFY(QTest::qWaitForWindowExposed(window));
            const char *kind = window->metaObject()->className();
            QVERIFY2(xprop(window, "_NET_WM_ICON").contains(QStringLiteral("Icon (32 x 32)")), kind);
            // Qt names an untitled window after the program, which tells nothing.
            QVERIFY2(!xprop(window, "_NET_WM_NAME").endsWith(QStringLiteral("\"tessaly\"")), kind);
        }
        const QString states = xprop(&notice, "_NET_WM_STATE");
        QVERIFY2(states.contains(QStringLiteral("_SKIP_TASKBAR")) && states.contains(QStringLiteral("_SKIP_PAGER"))
                     && states.contains(QStringLiteral("_ABOVE")),
                 qPrintable(states));
    }
};

QTEST_MAIN(tst_Windows_x11)
#include "tst_Windows_x11.moc"

#include "TestSupport.h"
#include "app/ApplicationSetUp.h"
#include "foundation/QtPrompt.h"
#include "messaging/tray/MessageWindows.h"
#include "messaging/tray/frmDialog.h"
#include "messaging/tray/frmInstantMessage.h"

#include <QMessageBox>
#include <QtTest>

#ifdef TESSALY_HAVE_XCB
#include <QtGui/qguiapplication_platform.h>
#include <xcb/xcb.h>

#include <cstdlib>
#include <cstring>
#endif

namespace {

#ifdef TESSALY_HAVE_XCB
xcb_connection_t *connection()
{
    return qGuiApp->nativeInterface<QNativeInterface::QX11Application>()->connection();
}

xcb_atom_t atom(const char *name)
{
    auto *reply = xcb_intern_atom_reply(connection(), xcb_intern_atom(connection(), 0, uint16_t(std::strlen(name)), name),
                                        nullptr);
    const xcb_atom_t result = reply->atom;
    std::free(reply);
    return result;
}

// The 32-bit items (atoms, icon pixels) of a window's property, as the X server holds them.
QList<quint32> windowProperty(QWidget *window, const char *name)
{
    auto *reply = xcb_get_property_reply(
        connection(), xcb_get_property(connection(), 0, xcb_window_t(window->winId()), atom(name), XCB_GET_PROPERTY_TYPE_ANY, 0, 1 << 20),
        nullptr);
    QList<quint32> items;
    if (reply && reply->format == 32) {
        const auto *values = static_cast<const quint32 *>(xcb_get_property_value(reply));
        items = QList<quint32>(values, values + xcb_get_property_value_length(reply) / 4);
    }
    std::free(reply);
    return items;
}

QString windowName(QWidget *window)
{
    auto *reply = xcb_get_property_reply(
        connection(), xcb_get_property(connection(), 0, xcb_window_t(window->winId()), atom("_NET_WM_NAME"), atom("UTF8_STRING"), 0, 1024),
        nullptr);
    const QString name = reply ? QString::fromUtf8(static_cast<const char *>(xcb_get_property_value(reply)),
                                                   xcb_get_property_value_length(reply))
                               : QString();
    std::free(reply);
    return name;
}
#endif

} // namespace

class tst_Windows_x11 : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
#ifndef TESSALY_HAVE_XCB
        QSKIP("built without libxcb");
#endif
        if (QGuiApplication::platformName() != QLatin1String("xcb"))
            QSKIP("needs the X11 platform");
        SetUpApplication(*qApp);
    }

#ifdef TESSALY_HAVE_XCB
    void noticesStayOutOfTheTaskBarAndPager()
    {
        TestEnvironment env;
        auto *notice = new frmDialog;
        notice->setMessage(QStringLiteral("Ada Lindqvist is now In"));
        notice->display();
        QVERIFY(QTest::qWaitForWindowExposed(notice));
        const QList<quint32> states = windowProperty(notice, "_NET_WM_STATE");
        for (const char *state : {"_NET_WM_STATE_SKIP_TASKBAR", "_NET_WM_STATE_SKIP_PAGER", "_NET_WM_STATE_ABOVE"})
            QVERIFY2(states.contains(atom(state)), state);
        delete notice;
    }

    void everyWindowCarriesTheProgramIconAndATitle()
    {
        TestEnvironment env;
        MessageWindows windows([] { return nullptr; });
        QMessageBox box;
        QtPrompt::prepare(box, QStringLiteral("Resource Checked In"), IPrompt::Information, QString());
        frmDialog notice;
        const QList<QWidget *> all = {&windows.chat(), &windows.instantMessage(), &box, &notice};
        for (QWidget *window : all) {
            window->show();
            QVERIFY(QTest::qWaitForWindowExposed(window));
            QVERIFY2(windowProperty(window, "_NET_WM_ICON").size() > 16 * 16, window->metaObject()->className());
            // Qt names an untitled window after the program ("tessaly"), which tells nothing.
            QVERIFY2(windowName(window) != QCoreApplication::applicationName(), window->metaObject()->className());
        }
    }
#endif
};

QTEST_MAIN(tst_Windows_x11)
#include "tst_Windows_x11.moc"

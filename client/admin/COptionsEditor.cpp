#include "COptionsEditor.h"

#include "COptionsLoader.h"
#include "frmOptions.h"
#include "IUserOptionsHost.h"
#include "foundation/Globals.h"
#include "foundation/IMainWindow.h"
#include "platform/AppError.h"

#include <QGuiApplication>
#include <QLineEdit>

namespace {

// The hourglass while the user's record is read; the dialog itself shows
// the normal pointer.
class BusyPointer
{
public:
    BusyPointer() : m_shown(qobject_cast<QGuiApplication *>(QCoreApplication::instance()) != nullptr)
    {
        if (m_shown)
            QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    }
    ~BusyPointer() { release(); }
    BusyPointer(const BusyPointer &) = delete;
    BusyPointer &operator=(const BusyPointer &) = delete;
    void release()
    {
        if (m_shown)
            QGuiApplication::restoreOverrideCursor();
        m_shown = false;
    }

private:
    bool m_shown;
};

QWidget *ownerWindow()
{
    return dynamic_cast<QWidget *>(g_frmMain.get());
}

} // namespace

COptionsEditor::COptionsEditor() : m_runDialog([](frmOptions &form) { form.exec(); })
{
}

COptionsEditor::COptionsEditor(Runner runner) : m_runDialog(std::move(runner))
{
}

qint32 COptionsEditor::EditUserProperties(bool newUser, const QString &loginName, bool adminEditable, bool self,
                                          bool atLogin, bool addAnother)
{
    BusyPointer busy;
    COptionsLoader::Request request;
    request.newUser = newUser;
    request.loginName = loginName;
    request.adminEditable = adminEditable;
    request.self = self;
    request.addAnother = addAnother;
    request.atLogin = atLogin;
    const IUserOptionsHost *host = IUserOptionsHost::ofMainWindow();
    if (!newUser && !self && host)
        request.selectedKey = host->selectedListItemKey();
    const OptionsSetup setup = COptionsLoader().load(request);
    if (!setup.show)
        return ErrNo::Success;

    frmOptions form(ownerWindow());
    form.applySetup(setup);
    busy.release();
    m_runDialog(form);
    if (form.Cancelled && atLogin)
        EndProgram(0);
    afterDialog(form, setup);
    return ErrNo::Success;
}

// Whatever was saved (Save + Add New saves before a Cancel) is read again by
// the next poll; an edited user's row shows his new numbers at once.
void COptionsEditor::afterDialog(const frmOptions &form, const OptionsSetup &setup)
{
    if (form.savedCount() == 0)
        return;
    g_lLastUpdated = -1;
    if (setup.isNewUser || !g_frmMain)
        return;
    g_frmMain->treeViewClick(g_sCurrentNodeKey, true);
    const QString key = QStringLiteral("USR") + QString::number(setup.userID);
    g_frmMain->setUserItemText(key, 6, form.txtMobileNumber->text());
    g_frmMain->setUserItemText(key, 7, form.txtPhoneExtension->text());
}

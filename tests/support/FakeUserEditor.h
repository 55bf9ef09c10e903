#pragma once

#include "admin/CClientAdmin.h"
#include "foundation/Globals.h"
#include "foundation/IUserEditor.h"
#include "platform/AppError.h"

#include <QStringList>

// Stands in for the options dialog: confirming a new user creates him from
// the template record, cancelling at log-in ends the program as the dialog does.
class FakeUserEditor : public IUserEditor
{
public:
    struct Call { bool newUser; QString loginName; bool adminEditable; bool self; bool atLogin; bool addAnother; };

    qint32 EditUserProperties(bool newUser, const QString &loginName, bool adminEditable, bool self, bool atLogin,
                              bool addAnother) override
    {
        calls.append({newUser, loginName, adminEditable, self, atLogin, addAnother});
        if (cancel) {
            if (atLogin)
                EndProgram(0);
            return ErrNo::Success;
        }
        UserRecord user = record;
        user.LoginName = loginName;
        CClientAdmin().AddUser(user);
        return ErrNo::Success;
    }

    bool cancel = false;
    UserRecord record;
    QList<Call> calls;
};

// Installs an editor for the length of a test.
class UserEditorScope
{
public:
    explicit UserEditorScope(IUserEditor &editor) : m_saved(g_userEditor) { g_userEditor = &editor; }
    ~UserEditorScope() { g_userEditor = m_saved; }

private:
    IUserEditor *m_saved;
};

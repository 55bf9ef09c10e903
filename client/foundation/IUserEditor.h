#pragma once

#include <QString>

// Opens the options dialog on a user: a new one (at his first log-in or added
// by an administrator), the signed-in user, or the one selected in the list.
// Gives 10000 when the dialog has run; a dialog cancelled at log-in ends the
// program.
class IUserEditor
{
public:
    virtual ~IUserEditor() = default;
    // newUser: the dialog creates a user with loginName proposed; adminEditable:
    // the administrator box can be changed; self: edit the signed-in user;
    // atLogin: cancelling ends the program; addAnother: offer "Save + Add New".
    virtual qint32 EditUserProperties(bool newUser, const QString &loginName, bool adminEditable, bool self,
                                      bool atLogin, bool addAnother) = 0;
};

// Where no dialog can be shown no user can be created or edited.
class NoUserEditor : public IUserEditor
{
public:
    qint32 EditUserProperties(bool, const QString &, bool, bool, bool, bool) override { return 0; }
};

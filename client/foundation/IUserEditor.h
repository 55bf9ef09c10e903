#pragma once

#include <QString>

// Opens the options dialog on a user: a new one at his first log-in, or the
// signed-in user editing his own options. Gives 10000 when confirmed.
class IUserEditor
{
public:
    virtual ~IUserEditor() = default;
    virtual qint32 EditUserProperties(bool newUser, const QString &loginName, bool endOnCancel) = 0;
};

// Where no dialog can be shown a new user cannot be created.
class NoUserEditor : public IUserEditor
{
public:
    qint32 EditUserProperties(bool, const QString &, bool) override { return 0; }
};

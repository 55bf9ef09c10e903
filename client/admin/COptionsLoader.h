#pragma once

#include "OptionsSetup.h"

#include <QString>

// Prepares the options dialog for one user: a new one with his presets, the
// signed-in user, or the user selected in the main window's list.
class COptionsLoader
{
public:
    struct Request
    {
        bool newUser = false;
        QString loginName;       // proposed for a new user
        bool adminEditable = false;
        bool self = false;
        bool addAnother = false;
        bool atLogin = false;    // the first start of the desktop user
        QString selectedKey;     // the list's selected item when not self
    };

    // Raises when the user's record cannot be read.
    OptionsSetup load(const Request &request);

private:
    static void prepareNewUser(OptionsSetup &setup, const QString &loginName);
    static bool prepareExistingUser(OptionsSetup &setup, const Request &request);
    static void setTabs(OptionsSetup &setup, bool self);
    static void prepareOwnSettings(OptionsSetup &setup);
    static bool anyActiveUser();
};

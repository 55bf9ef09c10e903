#pragma once

#include "OptionsValues.h"
#include "foundation/CTreeNode.h"
#include "foundation/QuickNoteTable.h"

#include <QList>
#include <QString>
#include <array>

// How the options dialog opens: what it shows and which of its parts can be
// changed.
struct OptionsSetup
{
    static constexpr int Tabs = 11;
    enum Tab { PersonalDetails, QuickSetNotes, ConfigurableActions, RefreshFrequency, VisualPreferences,
               CalendarSettings, DefaultTimes, GroupMembershipTab, LanguageTab, OnStartUp, OnExit };

    bool show = true;          // false: there is no user to show
    qint32 userID = 0;         // 0 for a new user
    bool isNewUser = false;
    OptionsValues values;
    QuickNoteTable quickNotes;
    QList<CTreeNode> groups;   // the groups he belongs to
    QString caption;

    bool adminEditable = true;
    bool loginEditable = true;
    bool firstDblClickEnabled = true;
    bool calendarBoxEnabled = true;
    bool calendarFrameEnabled = true;
    bool calendarAllowed = true; // the system switch of the calendar link
    bool addAnother = false;
    std::array<bool, Tabs> tabEnabled = {true, true, true, true, true, true, true, true, true, true, true};
};

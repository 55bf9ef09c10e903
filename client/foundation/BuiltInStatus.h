#pragma once

#include <QLatin1String>
#include <QList>
#include <QStringList>
#include <QStringView>
#include <span>

// The thirteen statuses every copy knows without an administrator defining
// them, each fact about them kept once: code, text, where the lists show them,
// whether they count as in, the due-back time they default to, their picture.
// The tool bar, menus, tray, tree, combos, quick notes and status rules all
// read them from here.
class BuiltInStatus
{
public:
    static constexpr QLatin1String In{"INN"};
    static constexpr QLatin1String Out{"OUT"};
    static constexpr QLatin1String Lunch{"LNC"};
    static constexpr QLatin1String Meeting{"MTG"};
    static constexpr QLatin1String Home{"HME"};
    static constexpr QLatin1String DoNotDisturb{"DND"};
    static constexpr QLatin1String MeetingOutOfOffice{"MTO"};
    static constexpr QLatin1String MeetingTentative{"MTT"};
    static constexpr QLatin1String MeetingAvailable{"MTA"};
    static constexpr QLatin1String MeetingDoNotDisturb{"MTD"};
    static constexpr QLatin1String Break{"BRK"};
    static constexpr QLatin1String Vacation{"VAC"};
    static constexpr QLatin1String Sick{"SCK"};

    // Nearby statuses (lunch, a break, do not disturb) are not In, so the
    // check-in pop-up still offers In; but they do not count as out either:
    // nobody is overdue from them, and the nightly mark-out takes them too.
    enum class Presence { In, Nearby, Out };
    // The due-back time a change to the status gets when none is given.
    enum class DueBack { None, LunchPeriod, BreakPeriod, NextWorkingDay, AnHour };

    struct Row
    {
        QLatin1String code;
        qint32 captionId;    // its text in the string table
        QLatin1String under; // a meeting state's Meeting, whose text goes first; empty for the others
        int noteNumber;      // its row of the quick notes, 1 to 13
        // Its place on the tool bar, in the tray menu and in the picture lists:
        // 1-9 for the statuses with a button, then the meeting states in the
        // order the Meeting menus list them.
        int place;
        Presence presence;
        DueBack dueBack;
        QLatin1String picture;  // the key of its drawing
        QLatin1String menuText; // a meeting state's item in the Meeting button's menu, as designed (untranslated)
    };

    // In the order of the status texts, as the tree and the combos list them.
    static std::span<const Row> all();
    // The row of exactly that code (upper case); nullptr for any other.
    static const Row *find(QStringView code);
    // The statuses with a button of their own, in place order.
    static QList<const Row *> buttons();
    // The states offered under Meeting, in place order.
    static QList<const Row *> meetingStates();
    static QStringList codes(const QList<const Row *> &rows);
};

#pragma once

#include <QString>
#include <QStringList>

struct SettingKey;

// The items of the four calendar-state combos of the options dialog: every
// built-in status, shown by its localised text and carrying its code.
class StatusComboItems
{
public:
    static constexpr int Combos = 4; // free, busy, tentative, out of office

    static const QStringList &codes();
    // The setting a combo is stored in.
    static const SettingKey &settingOf(int combo);
    // What a calendar state shows until the user chose: the setting's
    // default, which the calendar check applies when nothing is stored, so OK
    // on an untouched page changes nothing.
    static QString defaultCode(int combo);
    static bool isCode(const QString &code);
};

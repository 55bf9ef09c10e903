#pragma once

#include <QString>
#include <QStringList>

// The items of the four calendar-state combos of the options dialog: every
// built-in status, shown by its localised text and carrying its code.
class StatusComboItems
{
public:
    static constexpr int Combos = 4; // free, busy, tentative, out of office

    static const QStringList &codes();
    // What a calendar state shows until the user chose: what the calendar
    // check applies when nothing is stored (MTA, MTG, MTT, MTO), so OK on an
    // untouched page changes nothing.
    static QString defaultCode(int combo);
    static bool isCode(const QString &code);
};

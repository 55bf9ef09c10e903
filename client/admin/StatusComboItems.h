#pragma once

#include <QString>
#include <QStringList>

// The items of the four calendar-state combos of the options dialog: the
// localised status text, pushed out of view by blanks, then the status code,
// so the code is always the item's last three characters.
class StatusComboItems
{
public:
    static constexpr int Combos = 4; // free, busy, tentative, out of office

    static const QStringList &codes();
    // One item per code, in the language now chosen.
    static QStringList itemTexts();
    static QString codeOf(const QString &itemText);
    // The first item that ends in the code; -1 when none does (or no code).
    static int indexOf(const QStringList &items, const QString &code);
    // What a calendar state shows until the user chose: MTA, MTD, MTT, MTO.
    static QString defaultCode(int combo);
    static bool isCode(const QString &code);
};

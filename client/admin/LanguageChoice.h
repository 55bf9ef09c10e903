#pragma once

#include <QString>

// The language buttons of the options dialog, by index. Only the first four
// are offered; a user who has one of the others keeps it.
class LanguageChoice
{
public:
    static constexpr int Count = 7;
    static constexpr int Offered = 4;

    // "ENU" 0, "FRA" 1, "GER" 2, "ITA" 3, "PRT" 4, "SPN" 5, "NED" 6; others 0.
    static int indexOf(const QString &code);
    // The code of a button; "ENU" for none (-1).
    static QString codeAt(int index);
    // The button's own caption, the same in every language.
    static QString captionAt(int index);
};

#pragma once

#include "foundation/CUserProperties.h"
#include "foundation/QuickNoteTable.h"

#include <QList>
#include <QString>
#include <QStringList>

// The quick-set notes tab of the options dialog: its note types (1 "In" to
// 13 "Vacation"), the tokens it inserts and the preview of a note.
class QuickNoteRules
{
public:
    static constexpr int NoteTypes = 13;
    struct Token { QString entry; QString token; };

    // The note types' texts in the language now chosen, type 1 first.
    static QStringList noteTypeTexts();
    // The token entries; entry i carries the item data i + 1.
    static const QList<Token> &tokens();
    // The token of an entry by its item data; empty for none.
    static QString tokenFor(int itemData);
    // A new user's notes: lunch, coffee break and gone home preset.
    static QuickNoteTable newUserNotes();
    // The options the preview is worked out with; minutes that are not a
    // number count as 0.
    static CUserProperties previewOptions(const QString &lunchText, const QString &breakText, double workStart);
    // The note as a status change will show it; the note itself when its
    // tokens cannot be worked out.
    static QString preview(const QString &note, const CUserProperties &options);
};

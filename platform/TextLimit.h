#pragma once

#include <QString>

// Lengths that text from users and from the network is kept to.
class TextLimit
{
public:
    // A status note as it is stored, sent and shown: a note that arrives
    // longer is cut, so no copy shows more than one a user could set.
    static constexpr int StatusNoteLength = 254;

    // The first length characters of the text, one fewer where the cut would
    // split a character in two.
    static QString left(const QString &text, qsizetype length);
    // The first length characters of the text, a character being one code
    // point, as PostgreSQL counts a column's length.
    static QString leftCharacters(const QString &text, qsizetype length);
    // The first length bytes of UTF-8 text, fewer where the cut would split
    // a character.
    static QByteArray utf8Left(const QByteArray &bytes, qsizetype length);
    static QString statusNote(const QString &note) { return left(note, StatusNoteLength); }
};

#pragma once

#include <QString>

// What every log line is made of: text from files, pages and callers written
// so that it stays one visible line. Control characters (C0, DEL, C1), the
// Unicode line and paragraph separators and the bidirectional controls are
// written as their codes (\x1b, \u2028), so a reader's terminal or a reader
// that splits on Unicode line breaks sees neither a forged line nor a hidden
// or reordered text.
class LogText
{
public:
    static QString oneLine(const QString &text);
    static bool needsEscape(char16_t c);
};

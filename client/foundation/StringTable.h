#pragma once

#include <QHash>
#include <QLocale>
#include <QString>

// The program's texts in every language, read once from the table compiled
// into the program. A text is found by its id plus the language's offset
// (English 0, French 1000, ...), so one number names one text.
class StringTable
{
public:
    // The text stored under that number; empty when there is none.
    static QString text(qint32 number);

    // Reads a table: a header "id" followed by language codes, then one line
    // per id with its texts separated by tabs. Lines starting "#" are notes.
    static QHash<qint32, QString> parse(const QString &table);

    // The offset of a language code ("ENU" 0, "FRA" 1000, ...); 0 for others.
    static qint32 languageOffset(const QString &code);
    // The locale whose day names go with a language code; English for others.
    static QLocale locale(const QString &code);

private:
    static const QHash<qint32, QString> &texts();
};

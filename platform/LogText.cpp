#include "LogText.h"

bool LogText::needsEscape(char16_t c)
{
    return c < 0x20 || (c >= 0x7F && c <= 0x9F) || c == 0x2028 || c == 0x2029 || c == 0x200E || c == 0x200F
        || (c >= 0x202A && c <= 0x202E) || (c >= 0x2066 && c <= 0x2069) || c == 0x061C;
}

QString LogText::oneLine(const QString &text)
{
    qsizetype first = 0;
    while (first < text.size() && !needsEscape(text.at(first).unicode()))
        ++first;
    if (first == text.size())
        return text;
    QString line = text.left(first);
    line.reserve(text.size() + 16);
    for (qsizetype i = first; i < text.size(); ++i) {
        const char16_t c = text.at(i).unicode();
        if (!needsEscape(c))
            line += QChar(c);
        else if (c <= 0xFF)
            line += QStringLiteral("\\x%1").arg(int(c), 2, 16, QLatin1Char('0'));
        else
            line += QStringLiteral("\\u%1").arg(int(c), 4, 16, QLatin1Char('0'));
    }
    return line;
}

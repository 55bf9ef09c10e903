#include "TextLimit.h"

QString TextLimit::left(const QString &text, qsizetype length)
{
    if (text.size() <= length)
        return text;
    if (length > 0 && text.at(length - 1).isHighSurrogate())
        --length;
    return text.left(length);
}

QString TextLimit::leftCharacters(const QString &text, qsizetype length)
{
    qsizetype units = 0;
    for (qsizetype n = 0; n < length && units < text.size(); ++n)
        units += text.at(units).isHighSurrogate() && units + 1 < text.size() && text.at(units + 1).isLowSurrogate() ? 2 : 1;
    return text.left(units);
}

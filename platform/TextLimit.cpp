#include "TextLimit.h"

QString TextLimit::left(const QString &text, qsizetype length)
{
    if (text.size() <= length)
        return text;
    if (length > 0 && text.at(length - 1).isHighSurrogate())
        --length;
    return text.left(length);
}

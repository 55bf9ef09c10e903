#include "TextLimit.h"

QString TextLimit::left(const QString &text, qsizetype length)
{
    if (text.size() <= length)
        return text;
    if (length > 0 && text.at(length - 1).isHighSurrogate())
        --length;
    return text.left(length);
}

QByteArray TextLimit::utf8Left(const QByteArray &bytes, qsizetype length)
{
    if (bytes.size() <= length)
        return bytes;
    const auto continues = [&bytes](qsizetype at) { return (uchar(bytes.at(at)) & 0xC0) == 0x80; };
    // A character takes at most four bytes: back to its first one.
    qsizetype cut = qMax<qsizetype>(length, 0);
    for (int i = 0; i < 3 && cut > 0 && continues(cut); ++i)
        --cut;
    return bytes.left(continues(cut) ? length : cut);
}

QString TextLimit::leftCharacters(const QString &text, qsizetype length)
{
    qsizetype units = 0;
    for (qsizetype n = 0; n < length && units < text.size(); ++n)
        units += text.at(units).isHighSurrogate() && units + 1 < text.size() && text.at(units + 1).isLowSurrogate() ? 2 : 1;
    return text.left(units);
}

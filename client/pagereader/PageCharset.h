#pragma once

#include <QByteArray>

// A page's characters as the parser reads them, in UTF-8, from the encoding
// the page is in: a byte-order mark, else the charset its server declared,
// else the one its own <meta> declares near its start, else UTF-8 where the
// bytes are UTF-8 and windows-1252 where they are not. Windows'
// and ISO's Western names are read as windows-1252, as browsers read them.
class PageCharset
{
public:
    // declared: the charset of the HTTP Content-Type header, or empty.
    static QByteArray toUtf8(const QByteArray &page, const QByteArray &declared);
    // The charset a <meta> in the page's first kilobyte declares, or empty.
    static QByteArray declaredIn(const QByteArray &page);
    // The charset of a Content-Type value ("text/html; charset=x"), or empty.
    static QByteArray ofContentType(const QByteArray &contentType);
};

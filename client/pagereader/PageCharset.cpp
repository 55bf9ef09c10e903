#include "PageCharset.h"

#include <gumbo.h>

#include <QList>
#include <cerrno>
#include <cstring>
#include <iconv.h>

namespace {

constexpr qsizetype kMetaWindow = 1024;

// A label as the page wrote it, if it can name an encoding at all.
QByteArray label(QByteArray name)
{
    name = name.trimmed().toLower();
    if (name.startsWith('"') || name.startsWith('\''))
        name = name.mid(1);
    if (name.endsWith('"') || name.endsWith('\''))
        name.chop(1);
    if (name.isEmpty() || name.size() > 40)
        return {};
    for (const char c : name)
        if (!QChar::isLetterOrNumber(uchar(c)) && c != '-' && c != '_' && c != '.' && c != ':')
            return {};
    static const QList<QByteArray> western = {"iso-8859-1", "iso8859-1", "iso_8859-1", "latin1", "l1", "cp819",
                                              "us-ascii", "ascii", "cp1252", "windows-1252", "x-cp1252"};
    return western.contains(name) ? QByteArray("windows-1252") : name;
}

bool isUtf8(const QByteArray &name)
{
    return name == "utf-8" || name == "utf8" || name == "unicode-1-1-utf-8";
}

// True unless the bytes break UTF-8; a character cut by the page's end
// (the reader reads at most its first part) does not.
bool isValidUtf8(const QByteArray &page)
{
    QByteArrayView whole(page);
    for (qsizetype i = 1; i <= 3 && i <= whole.size(); ++i) {
        const uchar c = uchar(whole.at(whole.size() - i));
        if (c < 0x80 || c >= 0xc0) { // the last character's first byte
            const int length = c < 0x80 ? 1 : c < 0xe0 ? 2 : c < 0xf0 ? 3 : 4;
            if (length > i)
                whole.chop(i);
            break;
        }
    }
    return whole.isValidUtf8();
}

// From the named encoding to UTF-8; a byte that is no character of it
// becomes U+FFFD. An encoding iconv does not know is read as UTF-8.
QByteArray converted(const QByteArray &page, const QByteArray &from)
{
    iconv_t converter = iconv_open("UTF-8", from.constData());
    if (converter == reinterpret_cast<iconv_t>(-1))
        return page;
    // Four bytes out for every byte in covers every encoding and U+FFFD.
    QByteArray out(page.size() * 4 + 4, Qt::Uninitialized);
    char *in = const_cast<char *>(page.constData()), *to = out.data();
    size_t inLeft = size_t(page.size()), outLeft = size_t(out.size());
    while (inLeft > 0 && iconv(converter, &in, &inLeft, &to, &outLeft) == size_t(-1)) {
        if (errno == E2BIG || outLeft < 3)
            break;
        std::memcpy(to, "\xef\xbf\xbd", 3);
        to += 3, outLeft -= 3, ++in, --inLeft;
    }
    iconv_close(converter);
    out.truncate(to - out.constData());
    return out;
}

QByteArray attribute(const GumboNode *node, const char *name)
{
    const GumboAttribute *found = gumbo_get_attribute(&node->v.element.attributes, name);
    return found ? QByteArray(found->value) : QByteArray();
}

// A meta's charset, by its own attribute or in its http-equiv's content.
QByteArray metaCharset(const GumboNode *meta)
{
    const QByteArray own = attribute(meta, "charset");
    if (!own.isEmpty())
        return own;
    if (attribute(meta, "http-equiv").trimmed().toLower() != "content-type")
        return {};
    return PageCharset::ofContentType(attribute(meta, "content"));
}

} // namespace

QByteArray PageCharset::ofContentType(const QByteArray &contentType)
{
    for (const QByteArray &part : contentType.split(';')) {
        const QByteArray field = part.trimmed();
        if (field.toLower().startsWith("charset="))
            return field.mid(8);
    }
    return {};
}

QByteArray PageCharset::declaredIn(const QByteArray &page)
{
    // Read with the parser as single bytes: every ASCII letter of the
    // markup is itself whatever the page's encoding.
    const QByteArray start = QString::fromLatin1(page.left(kMetaWindow)).toUtf8();
    GumboOutput *output = gumbo_parse_with_options(&kGumboDefaultOptions, start.constData(), size_t(start.size()));
    QByteArray found;
    QList<const GumboNode *> left{output->root}; // every node once: a kilobyte holds few
    while (!left.isEmpty() && found.isEmpty()) {
        const GumboNode *node = left.takeLast();
        if (node->type != GUMBO_NODE_ELEMENT)
            continue;
        if (node->v.element.tag == GUMBO_TAG_META)
            found = label(metaCharset(node));
        for (unsigned int i = node->v.element.children.length; i > 0; --i)
            left.append(static_cast<const GumboNode *>(node->v.element.children.data[i - 1]));
    }
    gumbo_destroy_output(&kGumboDefaultOptions, output);
    return found.startsWith("utf-16") ? QByteArray("utf-8") : found; // a page read by bytes is no UTF-16
}

QByteArray PageCharset::toUtf8(const QByteArray &page, const QByteArray &declared)
{
    if (page.startsWith("\xef\xbb\xbf"))
        return page.mid(3);
    if (page.startsWith("\xff\xfe") || page.startsWith("\xfe\xff"))
        return converted(page.mid(2), page.startsWith("\xff\xfe") ? "UTF-16LE" : "UTF-16BE");
    QByteArray name = label(declared);
    if (name.isEmpty())
        name = declaredIn(page);
    if (name.isEmpty() && !isValidUtf8(page))
        name = "windows-1252"; // what a browser reads an undeclared page in
    return name.isEmpty() || isUtf8(name) ? page : converted(page, name.toUpper());
}

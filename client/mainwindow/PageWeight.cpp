#include "PageWeight.h"

#include <QCoreApplication>

namespace {

bool isNameEnd(char c)
{
    return !(QChar::isLetterOrNumber(uchar(c)) || c == '-' || c == ':');
}

// Whether one of the names starts at, ignoring case, and ends there.
bool named(QByteArrayView rest, std::initializer_list<QByteArrayView> names)
{
    for (const QByteArrayView name : names)
        if (rest.size() > name.size() && rest.first(name.size()).compare(name, Qt::CaseInsensitive) == 0
            && isNameEnd(rest.at(name.size())))
            return true;
    return false;
}

} // namespace

int PageWeight::depth(const QByteArray &page, std::initializer_list<QByteArrayView> names)
{
    int open = 0, deepest = 0;
    for (qsizetype at = page.indexOf('<'); at >= 0; at = page.indexOf('<', at + 1)) {
        const QByteArrayView rest = QByteArrayView(page).sliced(at + 1);
        if (rest.startsWith('/')) {
            if (named(rest.sliced(1), names))
                open = qMax(0, open - 1);
        } else if (named(rest, names)) {
            deepest = qMax(deepest, ++open);
        }
    }
    return deepest;
}

QString PageWeight::tooLarge()
{
    return QCoreApplication::translate("PageWeight", "The page is larger than %1 KB, more than this pane shows.")
        .arg(ByteLimit / 1024);
}

QString PageWeight::tooHeavy(const QByteArray &page)
{
    if (page.size() > ByteLimit)
        return tooLarge();
    if (depth(page, {"table"}) > TableDepthLimit)
        return QCoreApplication::translate("PageWeight", "The page nests tables more than %1 deep, more than this "
                                                         "pane shows.")
            .arg(TableDepthLimit);
    if (depth(page, {"ul", "ol", "dl", "blockquote"}) > ListDepthLimit)
        return QCoreApplication::translate("PageWeight", "The page nests lists more than %1 deep, more than this "
                                                         "pane shows.")
            .arg(ListDepthLimit);
    return {};
}

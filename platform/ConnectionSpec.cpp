#include "ConnectionSpec.h"

#include <QStringList>

namespace {

// Splits "key=value key='quoted value'" into pairs, honouring quotes and
// backslash escapes as libpq does.
QList<QPair<QString, QString>> conninfoPairs(const QString &text)
{
    QList<QPair<QString, QString>> pairs;
    int i = 0;
    const int n = text.size();
    while (i < n) {
        while (i < n && text[i].isSpace())
            ++i;
        if (i >= n)
            break;
        QString key;
        while (i < n && text[i] != u'=' && !text[i].isSpace())
            key += text[i++];
        while (i < n && text[i].isSpace())
            ++i;
        if (i >= n || text[i] != u'=')
            break;
        ++i;
        while (i < n && text[i].isSpace())
            ++i;
        QString value;
        if (i < n && text[i] == u'\'') {
            ++i;
            while (i < n && text[i] != u'\'') {
                if (text[i] == u'\\' && i + 1 < n)
                    ++i;
                value += text[i++];
            }
            ++i;
        } else {
            while (i < n && !text[i].isSpace()) {
                if (text[i] == u'\\' && i + 1 < n)
                    ++i;
                value += text[i++];
            }
        }
        pairs.append({key.toLower(), value});
    }
    return pairs;
}

QString quoted(const QString &value)
{
    QString v = value;
    v.replace(u'\\', QLatin1String("\\\\")).replace(u'\'', QLatin1String("\\'"));
    return u'\'' + v + u'\'';
}

} // namespace

ConnectionSpec ConnectionSpec::fromConnInfo(const QString &conninfo)
{
    ConnectionSpec spec;
    spec.dialect = PostgreSQL;
    QStringList rest;
    for (const auto &[key, value] : conninfoPairs(conninfo)) {
        if (key == QLatin1String("host") || key == QLatin1String("hostaddr"))
            spec.host = value;
        else if (key == QLatin1String("port"))
            spec.port = value.toInt();
        else if (key == QLatin1String("dbname"))
            spec.database = value;
        else if (key == QLatin1String("user"))
            spec.user = value;
        else if (key == QLatin1String("password"))
            spec.password = value;
        else
            rest << key + u'=' + quoted(value);
    }
    spec.options = rest.join(u' ');
    return spec;
}

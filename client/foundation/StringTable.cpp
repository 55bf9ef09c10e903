#include "StringTable.h"

#include <QFile>
#include <QStringList>

// The resource lives in this static library; naming it here makes the linker
// keep it in every program that looks texts up.
static void initStringResource()
{
    Q_INIT_RESOURCE(strings);
}

QString StringTable::text(qint32 number)
{
    return texts().value(number);
}

QHash<qint32, QString> StringTable::parse(const QString &table)
{
    QHash<qint32, QString> result;
    QList<qint32> offsets;
    bool haveHeader = false;
    const QStringList lines = table.split(u'\n');
    for (QString line : lines) {
        if (line.endsWith(u'\r'))
            line.chop(1);
        if (line.isEmpty() || line.startsWith(u'#'))
            continue;
        const QStringList cells = line.split(u'\t');
        if (!haveHeader) {
            // A column of a language the program does not know is left out,
            // so it can never overwrite the English block.
            for (int i = 1; i < cells.size(); ++i) {
                const QString code = cells.at(i).trimmed();
                const qint32 offset = languageOffset(code);
                offsets.append(offset == 0 && code != QLatin1String("ENU") ? -1 : offset);
            }
            haveHeader = true;
            continue;
        }
        bool ok = false;
        const qint32 id = cells.at(0).trimmed().toInt(&ok);
        if (!ok)
            continue;
        for (int i = 1; i < cells.size() && i - 1 < offsets.size(); ++i)
            if (offsets.at(i - 1) >= 0 && !cells.at(i).isEmpty())
                result.insert(id + offsets.at(i - 1), cells.at(i));
    }
    return result;
}

qint32 StringTable::languageOffset(const QString &code)
{
    static const QHash<QString, qint32> offsets = {
        {QStringLiteral("ENU"), 0},    {QStringLiteral("FRA"), 1000}, {QStringLiteral("ITA"), 2000},
        {QStringLiteral("GER"), 3000}, {QStringLiteral("PRT"), 4000}, {QStringLiteral("SPN"), 5000},
        {QStringLiteral("NED"), 6000}};
    return offsets.value(code, 0);
}

QLocale StringTable::locale(const QString &code)
{
    static const QHash<QString, QLocale::Language> languages = {
        {QStringLiteral("FRA"), QLocale::French},  {QStringLiteral("ITA"), QLocale::Italian},
        {QStringLiteral("GER"), QLocale::German},  {QStringLiteral("PRT"), QLocale::Portuguese},
        {QStringLiteral("SPN"), QLocale::Spanish}, {QStringLiteral("NED"), QLocale::Dutch}};
    return QLocale(languages.value(code, QLocale::English));
}

const QHash<qint32, QString> &StringTable::texts()
{
    static const QHash<qint32, QString> table = [] {
        initStringResource();
        QFile file(QStringLiteral(":/tessaly/strings.tsv"));
        if (!file.open(QIODevice::ReadOnly))
            return QHash<qint32, QString>();
        return parse(QString::fromUtf8(file.readAll()));
    }();
    return table;
}

#include "MCIFunctions.h"

#include "BuiltInStatus.h"
#include "CStatus.h"
#include "CTreeNode.h"
#include "Globals.h"
#include "IMainWindow.h"
#include "IShell.h"
#include "MErrorHandler.h"
#include "StringTable.h"
#include "platform/AppError.h"
#include "platform/Clock.h"
#include "platform/DateUtil.h"
#include "platform/Registry.h"
#include "platform/SettingsKeys.h"

#include <QDir>
#include <QSet>
#include <cmath>
#include <limits>

namespace {

const QString kModule = QStringLiteral("MCIFunctions");

[[noreturn]] void raisePropertyError(const QString &procedure, const QString &what, const AppError &trapped)
{
    throw AppError(ErrNo::Raised, kModule + u'.' + procedure + QStringLiteral("\r\n") + trapped.source(),
                   what + QStringLiteral(" (") + QString::number(trapped.number()) + QStringLiteral(")\r\n")
                       + trapped.description());
}

} // namespace

QString GetResString(qint32 id)
{
    const QString text = StringTable::text(id + g_lLanguageOffset);
    return text.isEmpty() ? StringTable::text(id) : text;
}

void SetLanguage(const QString &code)
{
    g_lLanguageOffset = StringTable::languageOffset(code);
}

qint32 KeyToId(const QString &key)
{
    if (key.size() < 4)
        return -1;
    const double value = DateUtil::val(key.mid(3));
    if (!std::isfinite(value) || value > std::numeric_limits<qint32>::max()
        || value < std::numeric_limits<qint32>::min())
        return 0;
    return qint32(DateUtil::roundHalfEven(value));
}

qint32 FindUserIndex(qint32 userId)
{
    // Halving search over rows in ascending UserID; the answer, when present,
    // always lies in [low, high).
    qint32 low = 0;
    qint32 high = qint32(g_vUserList.size());
    while (low < high) {
        const qint32 mid = low + (high - low) / 2;
        const qint32 found = g_vUserList.at(mid).UserID;
        if (found == userId)
            return mid;
        if (found < userId)
            low = mid + 1;
        else
            high = mid;
    }
    return -1;
}

QString GetUserStatusLine(const QString &userKey)
{
    const qint32 row = FindUserIndex(KeyToId(userKey));
    if (row < 0)
        return QString();
    const CUser &user = g_vUserList.at(row);
    QString line = user.RealName + u' ' + GetResString(319) + u' ' + GetStatusDescription(user.IsIn)
                   + QStringLiteral(" - ") + (user.LastStatusChange != 0 ? DateUtil::generalDate(user.LastStatusChange) : QString());
    if (!user.Note.trimmed().isEmpty())
        line += QStringLiteral("       [ ") + user.Note + QStringLiteral(" ] ");
    return line;
}

QDate NextWorkingDate(const QDate &today)
{
    switch (today.dayOfWeek()) {
    case Qt::Friday: return today.addDays(3);
    case Qt::Saturday: return today.addDays(2);
    default: return today.addDays(1);
    }
}

double NextWorkingDay(double timeOfDay)
{
    const QTime time = DateUtil::timeOf(timeOfDay);
    return DateUtil::toDays(NextWorkingDate(Clock::now().date()), QTime(time.hour(), time.minute()));
}

QString GetStatusDescription(const QString &code)
{
    const QString upper = code.isEmpty() ? QString(BuiltInStatus::In) : code.toUpper();
    if (const BuiltInStatus::Row *row = BuiltInStatus::find(upper)) {
        const QString text = GetResString(row->captionId);
        return row->under.isEmpty() ? text : GetStatusDescription(row->under) + u'-' + text;
    }
    // A code no copy could tell this one about reads as itself.
    const CStatus *custom = FindCustomStatus(upper);
    return custom ? custom->Status : upper;
}

bool IsCustomStatus(const QString &code)
{
    return code.startsWith(u'X');
}

bool IsStatusPending(const QString &code, double when)
{
    bool countsOut;
    if (IsCustomStatus(code)) {
        const CStatus *custom = FindCustomStatus(code);
        countsOut = !custom || custom->CustomType.compare(QLatin1String("I"), Qt::CaseInsensitive) != 0;
    } else {
        const BuiltInStatus::Row *row = BuiltInStatus::find(code);
        countsOut = !row || row->presence == BuiltInStatus::Presence::Out;
    }
    return countsOut && DateUtil::minutesBetween(when, Clock::nowDays()) <= 0;
}

bool IsInStatus(const QString &code)
{
    if (IsCustomStatus(code)) {
        const CStatus *custom = FindCustomStatus(code);
        return custom && custom->CustomType.compare(QLatin1String("I"), Qt::CaseInsensitive) == 0;
    }
    const BuiltInStatus::Row *row = BuiltInStatus::find(code);
    return row && row->presence == BuiltInStatus::Presence::In;
}

namespace {

std::function<void()> customStatusReader;
QSet<QString> codesReadAgain; // upper case

const CStatus *knownCustomStatus(const QString &code)
{
    for (const CStatus &status : g_colCustomStatus)
        if (status.StatusCode.compare(code, Qt::CaseInsensitive) == 0)
            return &status;
    return nullptr;
}

} // namespace

const CStatus *FindCustomStatus(const QString &code)
{
    if (const CStatus *known = knownCustomStatus(code))
        return known;
    // A code that stays unknown (a status deleted, a stray value) must not
    // cost a read of the table for every row that shows it.
    const QString upper = code.toUpper();
    if (!customStatusReader || !IsCustomStatus(upper) || codesReadAgain.contains(upper))
        return nullptr;
    codesReadAgain.insert(upper);
    try {
        customStatusReader();
    } catch (const AppError &e) {
        WriteErrorLog(e.number(), e.description(), kModule + QStringLiteral(".FindCustomStatus\r\n") + e.source());
    }
    return knownCustomStatus(code);
}

void SetCustomStatusReader(std::function<void()> reader)
{
    customStatusReader = std::move(reader);
    codesReadAgain.clear();
}

const CTreeNode *FindTreeNode(const QString &key)
{
    for (const CTreeNode &node : g_colTreeNodes)
        if (node.TreeKey().compare(key, Qt::CaseInsensitive) == 0)
            return &node;
    return nullptr;
}

bool TextIsTrue(const QString &text)
{
    const QString trimmed = text.trimmed();
    if (trimmed.compare(QLatin1String("true"), Qt::CaseInsensitive) == 0)
        return true;
    bool number = false;
    const double value = trimmed.toDouble(&number);
    return number && value != 0;
}

void ShellOpen(const QString &pathOrAddress)
{
    if (pathOrAddress.trimmed().isEmpty())
        return;
    const QUrl url = QUrl::fromUserInput(pathOrAddress.trimmed(), QDir::currentPath());
    if (url.isValid())
        g_shell->openUrl(url);
}

qint32 ReadRecentNotesList(QStringList &list)
{
    list = QStringList(26, QString());
    const QString stored = SettingsKeys::RecentNotes.read();
    if (stored == Registry::missingText())
        return ErrNo::Success;
    if (stored.isEmpty()) {
        list = QStringList(1, QString());
        return 10003;
    }
    // Every piece that ends in "#" is one note; a "#" inside a note therefore
    // splits it, which is how the list has always been stored.
    QStringList pieces = stored.split(u'#');
    pieces.removeLast();
    list = pieces.isEmpty() ? QStringList(1, QString()) : pieces;
    return ErrNo::Success;
}

void WriteRecentNotesList(const QStringList &list)
{
    QString joined;
    for (const QString &note : list)
        joined += note + u'#';
    SettingsKeys::RecentNotes.write(joined);
}

QString GetSystemProperty(const QString &key, DbHandle &connection)
{
    const bool ownConnection = !connection;
    try {
        const RecordSet rs = OpenADORecordSet(connection, QStringLiteral("SELECT pvalue FROM Properties WHERE pkey = ?"),
                                              true, {key});
        QString value;
        if (!rs.eof() && !rs.isNull(QStringLiteral("pvalue")))
            value = DecodeQuotes(rs.text(QStringLiteral("pvalue")).trimmed());
        if (ownConnection)
            CloseADOConnection(connection);
        return value;
    } catch (const AppError &e) {
        if (ownConnection)
            CloseADOConnection(connection);
        raisePropertyError(QStringLiteral("GetSystemProperty"), QStringLiteral("GetSystemProperty"), e);
    }
}

QString GetSystemProperty(const QString &key)
{
    DbHandle connection;
    return GetSystemProperty(key, connection);
}

void SetSystemProperty(const QString &key, const QString &value, DbHandle &connection)
{
    try {
        Update(QStringLiteral("UPDATE Properties SET pvalue = ? WHERE pkey = ?"), connection,
               {EncodeQuotes(value.trimmed()), key});
    } catch (const AppError &e) {
        raisePropertyError(QStringLiteral("SetSystemProperty"),
                           QStringLiteral("SetSystemProperty [") + key + QStringLiteral("][") + value + u']', e);
    }
}

void SetSystemProperty(const QString &key, const QString &value)
{
    DbHandle connection;
    SetSystemProperty(key, value, connection);
}

QString ApplicationTitle()
{
    return QStringLiteral("Qel");
}

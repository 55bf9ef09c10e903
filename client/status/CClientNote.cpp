#include "CClientNote.h"

#include "foundation/BuiltInStatus.h"
#include "foundation/Globals.h"
#include "foundation/MCIFunctions.h"
#include "foundation/StringTable.h"
#include "platform/AppError.h"
#include "platform/Clock.h"
#include "platform/DateUtil.h"

#include <QLocale>
#include <cmath>

namespace {

const QString kNextDay = QStringLiteral("[next day]");
const QString kNextWeekDay = QStringLiteral("[next week day]");
const QString kNextWorkDay = QStringLiteral("[next work day]");
const QString kStartTime = QStringLiteral("[start time]");
const QString kEndOfLunch = QStringLiteral("[end of lunch period]");

// Guards against a note whose expansions never run out.
constexpr int kMaxPasses = 1000;
// The span of dates a stored time can take.
constexpr int kFirstYear = 100;
constexpr int kLastYear = 9999;

// In the language the user chose; times keep their one fixed format.
QString dayName(const QDate &date, const CUserProperties &options)
{
    return StringTable::locale(options.Language).dayName(date.dayOfWeek(), QLocale::LongFormat);
}

QString timeOfDay(const QDateTime &moment)
{
    return DateUtil::shortTime(moment);
}

// Replaces the first occurrence of a token; true when there was one.
bool replaceFirst(QString &text, const QString &token, const std::function<QString()> &expansion)
{
    const int at = text.indexOf(token);
    if (at < 0)
        return false;
    text = text.left(at) + expansion() + text.mid(at + token.size());
    return true;
}

} // namespace

double CClientNote::NextWorkDay() const
{
    return DateUtil::toDays(NextWorkingDate(Clock::now().date()))
        + DateUtil::timePart(g_oUserProperties.WorkStartTime);
}

int CClientNote::getStatusCodeNumber(const QString &statusCode)
{
    const BuiltInStatus::Row *status = BuiltInStatus::find(statusCode);
    return status ? status->noteNumber : 0;
}

QString CClientNote::GetNote(const QString &statusCode) const
{
    return g_vQuickNotes.at(getStatusCodeNumber(statusCode)).note;
}

QString CClientNote::GetParsedNote(const QString &statusCode, const CUserProperties &options) const
{
    return ParseNote(GetNote(statusCode), options);
}

QString CClientNote::getParsedNoteA(const QString &statusCode, const QuickNoteTable &notes,
                                    const CUserProperties &options) const
{
    return ParseNote(notes.at(getStatusCodeNumber(statusCode)).note, options);
}

// "[+N]": N hours and, in the digits after the point, minutes (1.30 is one
// hour thirty minutes), from now.
QString CClientNote::hoursOffset(const QString &text)
{
    const float value = float(DateUtil::val(text));
    if (!std::isfinite(value) || std::fabs(value) > 1e8f)
        throw AppError(6, QStringLiteral("CClientNote.ParseNote"),
                       QStringLiteral("Overflow: the time offset [+%1] in the note is too large.").arg(text));
    const float hours = std::trunc(value);
    const double minutes = DateUtil::roundHalfEven(double((value - hours) * 100.0f));
    const QDateTime moment = Clock::now().addSecs(qint64(hours) * 3600).addSecs(qint64(minutes) * 60);
    if (moment.date().year() < kFirstYear || moment.date().year() > kLastYear)
        throw AppError(6, QStringLiteral("CClientNote.ParseNote"),
                       QStringLiteral("Overflow: the time offset [+%1] in the note is too large.").arg(text));
    return timeOfDay(moment);
}

QString CClientNote::ParseNote(QString note, const CUserProperties &options) const
{
    for (int pass = 0; pass < kMaxPasses; ++pass) {
        bool replaced = false;
        replaced |= replaceFirst(note, kNextDay, [&] { return dayName(Clock::now().date().addDays(1), options); });
        replaced |= replaceFirst(note, kNextWeekDay,
                                 [&] { return dayName(NextWorkingDate(Clock::now().date()), options); });
        replaced |= replaceFirst(note, kNextWorkDay,
                                 [&] { return dayName(NextWorkingDate(Clock::now().date()), options); });

        const int open = note.indexOf(QStringLiteral("[+"));
        const int close = open >= 0 ? note.indexOf(u']', open + 2) : -1;
        if (close >= 0) {
            note = note.left(open) + hoursOffset(note.mid(open + 2, close - open - 2)) + note.mid(close + 1);
            replaced = true;
        }

        replaced |= replaceFirst(note, kStartTime, [&] {
            return timeOfDay(QDateTime(QDate(2000, 1, 1), DateUtil::timeOf(options.WorkStartTime)));
        });
        replaced |= replaceFirst(note, kEndOfLunch, [&] {
            return timeOfDay(Clock::now().addSecs(qint64(options.LunchTimePeriod) * 60));
        });
        if (!replaced)
            break;
    }
    return note;
}

#include "QuickNoteRules.h"

#include "OptionsValues.h"
#include "foundation/MCIFunctions.h"
#include "platform/AppError.h"
#include "status/CClientNote.h"

namespace {

QString meetingVariant(qint32 id)
{
    return GetResString(164) + QStringLiteral(" - ") + GetResString(id);
}

QString dueBackNote(qint32 statusId, const QString &tokens)
{
    return GetResString(statusId) + QStringLiteral(", ") + GetResString(159) + tokens;
}

} // namespace

QStringList QuickNoteRules::noteTypeTexts()
{
    return {GetResString(162),   GetResString(158),   GetResString(163),   GetResString(170), GetResString(166),
            GetResString(165),   GetResString(164),   meetingVariant(169), meetingVariant(166),
            meetingVariant(167), meetingVariant(168), GetResString(172),   GetResString(171)};
}

const QList<QuickNoteRules::Token> &QuickNoteRules::tokens()
{
    static const QList<Token> all = {
        {QStringLiteral("Next Day"), QStringLiteral("[next day]")},
        {QStringLiteral("Next Week Day"), QStringLiteral("[next week day]")},
        {QStringLiteral("Next Work Day"), QStringLiteral("[next work day]")},
        {QStringLiteral("Time you Start Work"), QStringLiteral("[start time]")},
        {QStringLiteral("Time at end of Lunch Period"), QStringLiteral("[end of lunch period]")},
        {QStringLiteral("Time in 15 Minutes"), QStringLiteral("[+15m]")},
        {QStringLiteral("Times in 30 Minutes"), QStringLiteral("[+30m]")},
        {QStringLiteral("Time in 1 Hour"), QStringLiteral("[+1]")},
        {QStringLiteral("Time in 2 Hours"), QStringLiteral("[+2]")},
        {QStringLiteral("Time in 3 Hours"), QStringLiteral("[+3]")},
        {QStringLiteral("Time in 4 Hours"), QStringLiteral("[+4]")},
        {QStringLiteral("Time in 6 Hours"), QStringLiteral("[+6]")},
        {QStringLiteral("Time in 8 Hours"), QStringLiteral("[+8]")},
    };
    return all;
}

QString QuickNoteRules::tokenFor(int itemData)
{
    return itemData >= 1 && itemData <= tokens().size() ? tokens()[itemData - 1].token : QString();
}

QuickNoteTable QuickNoteRules::newUserNotes()
{
    QuickNoteTable notes;
    notes.rows[3].note = dueBackNote(163, QStringLiteral(" [+1]"));
    notes.rows[4].note = dueBackNote(170, QStringLiteral(" [+0.15]"));
    notes.rows[6].note = dueBackNote(165, QStringLiteral(" [next work day] - [start time]"));
    return notes;
}

CUserProperties QuickNoteRules::previewOptions(const QString &lunchText, const QString &breakText, double workStart)
{
    CUserProperties options;
    options.LunchTimePeriod = OptionsValues::parseMinutes(lunchText).value_or(0);
    options.BreakPeriod = OptionsValues::parseMinutes(breakText).value_or(0);
    options.WorkStartTime = workStart;
    return options;
}

QString QuickNoteRules::preview(const QString &note, const CUserProperties &options)
{
    try {
        return CClientNote().ParseNote(note, options);
    } catch (const AppError &) {
        return note;
    }
}

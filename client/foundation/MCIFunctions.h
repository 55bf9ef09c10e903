#pragma once

#include "MADOFunctions.h"

#include <QDate>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <functional>

class CStatus;
class CTreeNode;

// Small routines shared by the whole program.

// The text of a string id in the user's language (id plus g_lLanguageOffset);
// the English text when that language has none; empty for an unknown id.
QString GetResString(qint32 id);
// Chooses the language of GetResString: "ENU", "FRA", "ITA", "GER", "PRT",
// "SPN" or "NED"; any other code means English.
void SetLanguage(const QString &code);

// The number after a key's three-letter kind ("USR42" gives 42); -1 for a key
// shorter than four characters, 0 when the rest is not a number.
qint32 KeyToId(const QString &key);

// The index of the user in g_vUserList, or -1.
qint32 FindUserIndex(qint32 userId);
// "Name Last changed Status to Out - <when>" with the note behind it, for a
// user key; "" when the user is not in the list.
QString GetUserStatusLine(const QString &userKey);
// The next working day (Monday after a Friday or a weekend) at the time of
// day of the argument, seconds dropped; a day number.
double NextWorkingDay(double timeOfDay);
// The working day after the given one: Friday, Saturday and Sunday lead to Monday.
QDate NextWorkingDate(const QDate &today);

// Status texts and tests.
QString GetStatusDescription(const QString &code);
bool IsCustomStatus(const QString &code);
// True while an out-type status has not yet begun: its time lies in the
// present minute or later.
bool IsStatusPending(const QString &code, double when);
bool IsInStatus(const QString &code);
// A custom status by code. A custom code this copy does not know makes it
// read the custom statuses again through the reader (once for each code),
// as another copy may have added the status since this one read them.
const CStatus *FindCustomStatus(const QString &code);
// Installs what reads the custom statuses again; every code may ask once more.
void SetCustomStatusReader(std::function<void()> reader);
// The node of g_colTreeNodes whose navigation-tree key ("NOD" + id) is the key.
const CTreeNode *FindTreeNode(const QString &key);

// A stored switch read as a Boolean: "True" in any case, or a number other than 0.
bool TextIsTrue(const QString &text);

// Opens a document, folder or address with the desktop's program for it.
void ShellOpen(const QString &pathOrAddress);

// The recent notes, stored as one value with every entry followed by "#".
// Gives 10000, or 10003 when the stored value is empty.
qint32 ReadRecentNotesList(QStringList &list);
void WriteRecentNotesList(const QStringList &list);

// A value of the Properties table, trimmed; "" when there is none. An empty
// connection is opened for the call and closed again.
QString GetSystemProperty(const QString &key, DbHandle &connection);
QString GetSystemProperty(const QString &key);
void SetSystemProperty(const QString &key, const QString &value, DbHandle &connection);
void SetSystemProperty(const QString &key, const QString &value);

// The program's title, as message boxes and the progress window show it.
QString ApplicationTitle();

#pragma once

#include <QString>
#include <functional>

class AppError;

// The program's two logs and its ways of reacting to a trapped error.

void WriteDebugLog(const QString &message);
// The same, the message made only when the log takes the line: past the log's
// limit a line costs a count, not its formatting.
void WriteDebugLog(const std::function<QString()> &message);
void CloseDebugLog();
QString GetVersionTag(); // "(Qel v5.0.36)"
void WriteErrorLog(qint32 number, const QString &description, const QString &source);
// Our own texts for the numbers the program raises, each ending in a line
// break; "(System Error Msg not found.)" for any other number.
QString GetSystemErrorText(qint32 number);

// Database routines hand their trapped errors here: 4 retry, 3 give up,
// 0 after the "Database Busy" box.
int HandleDBError(const AppError &error);

// User-interface code hands its trapped errors here: logs, then tells the user.
// 3 Exit/Abort (the program has ended by then), 4 Retry, 5 Continue/Ignore.
int ErrorDialog(qint32 number, const QString &description, const QString &source, qint32 titleId = 0);

// From now on the first settings that cannot be saved are logged and the user
// is told once, after the step that saved them: a setting lost without a word
// (the log-in name) would be looked for again at every start.
void TellWhenSettingsUnsaved();

// Where the logs go: the program's folder when it is writable, else
// $XDG_STATE_HOME/tessaly. Tests point it elsewhere.
QString LogFolder();
void SetLogFolder(const QString &folder);
// The choice LogFolder makes for a given program folder.
QString DefaultLogFolder(const QString &programFolder);

// The pause between busy retries (milliseconds; events go on meanwhile);
// tests replace it so they need not sleep.
extern std::function<void(int milliseconds)> g_busyWait;
// From now on a busy or timed-out database is retried only until
// `milliseconds` have passed, then given up without a box; -1: no bound (as at
// start). The close-down sets it, so that its work ends inside its own bound.
void BoundDatabaseRetries(int milliseconds);
// The pause after a failure of the "gave up" or "timed out" kind.
constexpr int kShortBusyPauseMs = 150;

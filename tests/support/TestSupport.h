#pragma once

#include "foundation/IErrorWindow.h"
#include "foundation/IPrompt.h"
#include "foundation/IShell.h"
#include "platform/AppError.h"

#include <QStringList>
#include <QTemporaryDir>
#include <QVector>
#include <functional>
#include <stdexcept>

struct SettingKey;

// Thrown by the stand-in for the program's end, so a test sees that the
// program would have ended, and with which code.
struct ProgramEnded : std::runtime_error
{
    explicit ProgramEnded(int code) : std::runtime_error("program ended"), exitCode(code) {}
    int exitCode;
};

// Answers message boxes from a script and remembers what was asked.
class ScriptedPrompt : public IPrompt
{
public:
    struct Asked { QString text; int buttons; int icon; QString title; };
    int message(const QString &text, Buttons buttons, Icon icon, const QString &title) override;

    QVector<int> answers;      // given in order; when used up, defaultAnswer
    int defaultAnswer = AnswerOk;
    QVector<Asked> asked;
};

// Answers the error window from a script (Continue unless told otherwise)
// and remembers what it showed.
class ScriptedErrorWindow : public IErrorWindow
{
public:
    struct Shown { QString userMessage; QString details; };
    int showError(const QString &userMessage, const QString &details) override;

    QVector<int> answers;
    int defaultAnswer = AnswerContinue;
    QVector<Shown> shown;
};

#include "SanitizerBounds.h"

// Remembers what would have been opened; `opens` false: a desktop with no
// program for it.
class RecordingShell : public IShell
{
public:
    bool openUrl(const QUrl &url) override { opened.append(url); return opens; }
    QVector<QUrl> opened;
    bool opens = true;
};

// A private world for one test: configuration, data, state and runtime folders
// in a temporary directory, the logs there too, message boxes answered by a
// ScriptedPrompt, the error window by a ScriptedErrorWindow, nothing really
// opened by the shell, English texts, and the program's end turned into
// ProgramEnded.
class TestEnvironment
{
public:
    TestEnvironment();
    ~TestEnvironment();

    QString path(const QString &relative = QString()) const;
    // Registers an embedded database file as the user's database and resets
    // the cached connection string. Gives the file's path.
    QString useSqliteDatabase(const QString &fileName = QStringLiteral("StaffData.db"));
    // Registers a PostgreSQL database (by libpq connection string).
    void usePostgresDatabase(const QString &conninfo);

    ScriptedPrompt prompt;
    ScriptedErrorWindow errorWindow;
    RecordingShell shell;

private:
    QTemporaryDir m_dir;
    IPrompt *m_savedPrompt;
    IErrorWindow *m_savedErrorWindow;
    IShell *m_savedShell;
};

// Runs a step; gives the code the program ended with, or -1 when it went on.
int exitCodeOf(const std::function<void()> &step);

// Runs a step that must raise; gives what it raised, or an error numbered 0
// (and a failed test) when it raised nothing.
AppError raisedBy(const std::function<void()> &step);

// Stores text for a setting whatever its type says, as a settings file
// edited by hand or written by an older version may hold it.
void storeSettingText(const SettingKey &key, const QString &text, const QString &item = QString());

// Reads a whole text file.
QString readTextFile(const QString &path);
// Writes a file afresh; false when it could not be written whole.
bool saveFile(const QString &path, const QByteArray &bytes);
// Writes a shell script and makes it executable; gives its path.
QString writeScript(const QString &path, const QByteArray &commands);

// One of each kind of character that would break a log line or disguise it
// (C0, DEL, C1, the line and paragraph separators, the bidirectional
// controls), and the codes a log line shows for them; without NUL for a text
// that passes through a C string.
QString logBreakingText(bool withNul = true);
QString logBreakingCodes(bool withNul = true);
// Whether a log holds any of them raw, its line feeds apart.
bool holdsLogBreaking(const QString &log);

// The memory this process holds now.
qint64 residentBytes();

// True where loopback is the only network interface, as inside the private
// network namespace that CTest runs the *_netns tests in.
bool onlyLoopbackNetwork();

// Run directly, outside the private namespace, a test that opens multicast
// sockets would send to the office network; there it is skipped.
#define REQUIRE_PRIVATE_NETWORK()                                                  \
    if (!onlyLoopbackNetwork())                                                    \
    QSKIP("not inside a private network namespace (run through CTest)")

#include "CopyProcess.h"

#include "TestSupport.h"
#include "foundation/Globals.h"
#include "foundation/MErrorHandler.h"
#include "platform/DbConnection.h"

#include <QThread>
#include <QtTest>
#include <algorithm>
#include <cstdio>

int CopyProcess::main(int argc, char *argv[], const QByteArray &flag,
                      const std::function<int(const QStringList &)> &run, QObject &test)
{
    if (argc < 2 || QByteArray(argv[1]) != flag)
        return QTest::qExec(&test, argc, argv);
    QStringList arguments;
    for (int i = 2; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    try {
        return run(arguments);
    } catch (const std::exception &e) {
        std::fprintf(stderr, "copy failed: %s\n", e.what());
        return 1;
    }
}

void CopyProcess::setUp(int sqliteBusyTimeoutMs)
{
    SetLogFolder(qEnvironmentVariable("XDG_STATE_HOME"));
    static ScriptedPrompt prompt;
    static ScriptedErrorWindow errors;
    g_prompt = &prompt;
    g_errorWindow = &errors;
    g_endProgram = [](int code) { throw ProgramEnded(code); };
    g_busyWait = [](int ms) { QThread::msleep(std::min(ms, 50)); };
    DbConnection::setSqliteBusyTimeout(sqliteBusyTimeoutMs);
}

#pragma once

#include <QByteArray>
#include <QStringList>
#include <functional>

class QObject;

// Test programs that start copies of themselves to play the program's other
// running copies. A copy finds the parent's database, and writes its logs,
// through the configuration folders it inherits.
class CopyProcess
{
public:
    // The test program's main, once its QCoreApplication exists: runs as a
    // copy when the first argument is flag (run gets the arguments after it),
    // else runs the tests of test. A copy that raises ends with 1.
    static int main(int argc, char *argv[], const QByteArray &flag,
                    const std::function<int(const QStringList &)> &run, QObject &test);

    // What a copy sets up before it works: logs in the inherited state
    // folder, message boxes answered, the end of the program turned into
    // ProgramEnded, busy waits kept short and SQLite's own wait long.
    static void setUp(int sqliteBusyTimeoutMs);
};

// The datagram reader under libFuzzer: every input is one datagram as it came
// off the wire, handed to the codec and to two copies' protocols and boards. Built with
// clang only (-DTESSALY_FUZZ=ON); bench/run-benchmarks.sh runs it for a while.

#include "DatagramExercise.h"
#include "TestSupport.h"
#include "foundation/MErrorHandler.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    static TestEnvironment environment;
    static DatagramExercise exercise = [] {
        // Every datagram goes to the debug log; millions of lines are of no use.
        SetLogFolder(QStringLiteral("/dev/null"));
        return DatagramExercise(environment);
    }();
    const QString failure = exercise.feed(QByteArray(reinterpret_cast<const char *>(data), qsizetype(size)));
    if (!failure.isEmpty()) {
        std::fprintf(stderr, "datagram check failed: %s\n", qPrintable(failure));
        std::abort();
    }
    return 0;
}

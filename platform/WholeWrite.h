#pragma once

#include <QByteArray>

// Writes to a pipe or file descriptor until all is written; false when a
// write fails (the reader gone). No signal ends the program for a reader
// gone: the write fails.
class WholeWrite
{
public:
    static bool to(int fd, const QByteArray &bytes);
};

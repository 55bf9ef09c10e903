#pragma once

#include <QByteArray>
#include <QString>
#include <optional>

// Reads the calendar and address files the user names, which may be anything:
// only a regular file is read, and only up to a size, and opening never waits
// (a FIFO given as a calendar would wait for a writer for ever).
class BoundedFile
{
public:
    static constexpr qint64 MaxBytes = 20 * 1024 * 1024;

    // The file's bytes; nothing when it is not read, and problem says why.
    static std::optional<QByteArray> read(const QString &path, QString *problem = nullptr,
                                          qint64 maxBytes = MaxBytes);
};

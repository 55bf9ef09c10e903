#pragma once

#include <QByteArray>
#include <QString>
#include <functional>
#include <optional>

// Changes a file the user's other programs share without losing their work:
// the new text goes to a temporary file beside it, which then replaces it
// (the file behind a symbolic link, with its mode kept). When the file
// changed after it was read, the change is made again on the new text.
class SafeFile
{
public:
    enum Result { Done, Refused, Failed };

    // transform gives the new text, or nothing to leave the file alone.
    using Transform = std::function<std::optional<QByteArray>(const QByteArray &)>;
    static Result update(const QString &path, const Transform &transform);

    // Creates a file that must not exist yet.
    static bool createNew(const QString &path, const QByteArray &bytes);

    // Runs between the read and the replacing; tests write the file there as
    // another program would.
    static std::function<void()> beforeReplace;
};

#pragma once

#include <QElapsedTimer>
#include <QFile>
#include <QString>
#include <functional>
#include <memory>

// One of the program's logs, kept from filling the disk whatever is written
// to it (a flood of datagrams writes a line each): past linesPerSecond, the
// lines of that second are counted instead of written, and the count goes in
// before the next line that is; a file that would grow past maxBytes is moved
// aside once, to its name + ".1" (replacing the one there), and begun afresh.
class LogFile
{
public:
    struct Limits
    {
        qint64 maxBytes = 10 * 1024 * 1024;
        int linesPerSecond = 100;
    };
    // The same for both logs; tests lower them.
    static Limits limits;

    // keepOpen: the file stays open from the first line until close(), else
    // it is opened for each line.
    LogFile(const QString &name, bool keepOpen);

    // Appends prefix + text to the file of that name in the folder; lost when
    // the file cannot be written.
    void write(const QString &folder, const QString &prefix, const QString &text);
    // The same, the text made only when the line is written.
    void write(const QString &folder, const QString &prefix, const std::function<QString()> &text);
    // Writes the count of lines left out, if any, and closes the file.
    void close();

private:
    bool takeTurn();
    void append(const QString &path, const QString &text);
    void moveAsideWhenFull(const QString &path, qint64 adding);
    void writeLeftOutCount(const QString &path);

    QString m_name;
    bool m_keepOpen;
    std::unique_ptr<QFile> m_file;
    QString m_path;
    QElapsedTimer m_second;
    int m_linesThisSecond = 0;
    qint64 m_leftOut = 0;
    QString m_leftOutPrefix; // the time of the last line left out
};

#pragma once

#include <QByteArray>
#include <QElapsedTimer>
#include <QJsonObject>
#include <QString>
#include <functional>

// One side of the talk between Tessaly and its calendar watcher: one JSON
// object per line, UTF-8. Each message names itself in one key ("cmd" or
// "event") and must carry its fields with the right types. A line that does
// not pass is reported and dropped; the reports are held to one a second,
// as a peer gone wrong may send nothing else.
class WatcherChannel
{
public:
    static constexpr qsizetype MaxLineBytes = 64 * 1024;

    enum class Direction { Commands, Events }; // what this side reads

    explicit WatcherChannel(Direction reading);

    // Takes what arrived; whole lines are checked and handed on.
    void feed(const QByteArray &data);
    // Forgets a line begun by a peer that is gone.
    void clear();

    std::function<void(const QString &name, const QJsonObject &message)> onMessage;
    std::function<void(const QString &problem)> onProblem;

    // The line for a message: its name under key, then the fields.
    static QByteArray line(const char *key, const QString &name, QJsonObject fields = {});
    static QByteArray command(const QString &name, QJsonObject fields = {}) { return line("cmd", name, fields); }
    static QByteArray event(const QString &name, QJsonObject fields = {}) { return line("event", name, fields); }

    // The reason a line is refused, or empty when it is a valid message.
    QString check(const QByteArray &line, QString &name, QJsonObject &message) const;

private:
    void takeLine(const QByteArray &line);
    void report(const QString &problem);

    Direction m_reading;
    QByteArray m_pending;
    bool m_skippingLongLine = false;
    QElapsedTimer m_lastReport;
    int m_unreported = 0;
};

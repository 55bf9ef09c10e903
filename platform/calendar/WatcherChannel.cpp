#include "WatcherChannel.h"
#include "platform/TextLimit.h"

#include <QJsonDocument>
#include <QJsonValue>
#include <QStringDecoder>
#include <cmath>
#include <vector>

namespace {
struct Field
{
    const char *name;
    QJsonValue::Type type;
};
struct Kind
{
    const char *name;
    std::vector<Field> fields;
};

const std::vector<Kind> &kinds(WatcherChannel::Direction direction)
{
    static const std::vector<Kind> commands = {
        {"Start", {{"period", QJsonValue::Double}}}, {"CloseDown", {}}, {"CloseOutlook", {}}};
    static const std::vector<Kind> events = {
        {"NeedToUpdateStatus",
         {{"status", QJsonValue::String}, {"note", QJsonValue::String}, {"outAt", QJsonValue::Double},
          {"dueBack", QJsonValue::Double}, {"modTime", QJsonValue::Double}, {"id", QJsonValue::String}}},
        {"StatusBarMessage", {{"msg", QJsonValue::String}}}};
    return direction == WatcherChannel::Direction::Commands ? commands : events;
}

QString shown(const QByteArray &line)
{
    return QString::fromUtf8(TextLimit::utf8Left(line, 80)).simplified();
}
} // namespace

WatcherChannel::WatcherChannel(Direction reading) : m_reading(reading) {}

QByteArray WatcherChannel::line(const char *key, const QString &name, QJsonObject fields)
{
    fields.insert(QLatin1String(key), name);
    return QJsonDocument(fields).toJson(QJsonDocument::Compact) + '\n';
}

QString WatcherChannel::check(const QByteArray &line, QString &name, QJsonObject &message) const
{
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    (void)QString(utf8(line));
    if (utf8.hasError())
        return QStringLiteral("not UTF-8");
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(line, &error);
    if (error.error != QJsonParseError::NoError || !document.isObject())
        return QStringLiteral("not a JSON object");
    message = document.object();
    const QString key = m_reading == Direction::Commands ? QStringLiteral("cmd") : QStringLiteral("event");
    name = message.value(key).toString();
    for (const Kind &kind : kinds(m_reading)) {
        if (name != QLatin1String(kind.name))
            continue;
        for (const Field &field : kind.fields) {
            const QJsonValue value = message.value(QLatin1String(field.name));
            if (value.isUndefined())
                return QStringLiteral("no field \"%1\"").arg(QLatin1String(field.name));
            if (value.type() != field.type)
                return QStringLiteral("field \"%1\" of the wrong type").arg(QLatin1String(field.name));
            if (value.isDouble() && !std::isfinite(value.toDouble()))
                return QStringLiteral("field \"%1\" not a finite number").arg(QLatin1String(field.name));
        }
        return QString();
    }
    return QStringLiteral("unknown %1 \"%2\"").arg(key, name);
}

void WatcherChannel::feed(const QByteArray &data)
{
    m_pending += data;
    qsizetype end;
    while ((end = m_pending.indexOf('\n')) >= 0) {
        const QByteArray whole = m_pending.left(end);
        m_pending.remove(0, end + 1);
        if (m_skippingLongLine)
            m_skippingLongLine = false;
        else
            takeLine(whole);
    }
    // A line that has grown past the limit is dropped up to its end, unread.
    if (m_pending.size() > MaxLineBytes) {
        if (!m_skippingLongLine)
            report(QStringLiteral("a line longer than %1 bytes").arg(MaxLineBytes));
        m_skippingLongLine = true;
        m_pending.clear();
    }
}

void WatcherChannel::clear()
{
    m_pending.clear();
    m_skippingLongLine = false;
}

void WatcherChannel::takeLine(const QByteArray &line)
{
    if (line.size() > MaxLineBytes) {
        report(QStringLiteral("a line longer than %1 bytes").arg(MaxLineBytes));
        return;
    }
    QString name;
    QJsonObject message;
    const QString problem = check(line, name, message);
    if (!problem.isEmpty())
        report(problem + QStringLiteral(": ") + shown(line));
    else if (onMessage)
        onMessage(name, message);
}

void WatcherChannel::report(const QString &problem)
{
    if (m_lastReport.isValid() && m_lastReport.elapsed() < 1000) {
        ++m_unreported;
        return;
    }
    m_lastReport.start();
    QString text = QStringLiteral("Calendar watcher line ignored, ") + problem;
    if (m_unreported > 0)
        text += QStringLiteral(" (and %1 more before it)").arg(m_unreported);
    m_unreported = 0;
    if (onProblem)
        onProblem(text);
}

#include "LogFile.h"

#include <QFileInfo>

LogFile::Limits LogFile::limits;

LogFile::LogFile(const QString &name, bool keepOpen)
    : m_name(name), m_keepOpen(keepOpen)
{
}

void LogFile::write(const QString &folder, const QString &prefix, const QString &text)
{
    write(folder, prefix, [&text] { return text; });
}

void LogFile::write(const QString &folder, const QString &prefix, const std::function<QString()> &text)
{
    if (!takeTurn()) {
        ++m_leftOut;
        m_leftOutPrefix = prefix;
        return;
    }
    const QString path = folder + u'/' + m_name;
    writeLeftOutCount(path);
    append(path, prefix + text());
}

void LogFile::close()
{
    if (!m_path.isEmpty())
        writeLeftOutCount(m_path);
    m_file.reset();
    m_second.invalidate();
}

bool LogFile::takeTurn()
{
    if (!m_second.isValid() || m_second.elapsed() >= 1000) {
        m_second.start();
        m_linesThisSecond = 0;
    }
    return ++m_linesThisSecond <= limits.linesPerSecond;
}

void LogFile::writeLeftOutCount(const QString &path)
{
    if (m_leftOut == 0)
        return;
    const qint64 count = m_leftOut;
    m_leftOut = 0;
    append(path, m_leftOutPrefix + QStringLiteral("    (%1 lines left out: more than %2 a second)\n")
                                       .arg(count)
                                       .arg(limits.linesPerSecond));
}

void LogFile::append(const QString &path, const QString &text)
{
    const QByteArray bytes = text.toUtf8();
    if (m_file && m_path != path)
        m_file.reset();
    m_path = path;
    moveAsideWhenFull(path, bytes.size());
    if (!m_file) {
        auto file = std::make_unique<QFile>(path);
        if (!file->open(QIODevice::Append | QIODevice::WriteOnly))
            return;
        m_file = std::move(file);
    }
    m_file->write(bytes);
    m_file->flush();
    if (!m_keepOpen)
        m_file.reset();
}

void LogFile::moveAsideWhenFull(const QString &path, qint64 adding)
{
    const qint64 size = m_file ? m_file->size() : QFileInfo(path).size();
    if (size == 0 || size + adding <= limits.maxBytes)
        return;
    m_file.reset();
    QFile::remove(path + QStringLiteral(".1"));
    QFile::rename(path, path + QStringLiteral(".1"));
}

#include "VCardReader.h"

#include "BoundedFile.h"

#include <QFileInfo>
#include <QStringList>

namespace {

struct Line
{
    QString name;
    QStringList params; // upper case, "TYPE=" dropped
    QString value;
};

// The property names the cards are read for; every other property (a photo,
// a sound, a key, notes) is passed over without being copied.
bool isRead(const QString &name)
{
    static const QStringList read = {QStringLiteral("BEGIN"), QStringLiteral("END"), QStringLiteral("N"),
                                     QStringLiteral("FN"), QStringLiteral("ORG"), QStringLiteral("UID"),
                                     QStringLiteral("EMAIL"), QStringLiteral("TEL")};
    return read.contains(name);
}

// One unfolded line, kept as the segments of the file's text it is made of, so
// joining costs nothing until the line is known to be wanted.
class FoldedLine
{
public:
    bool softBreakAhead() const { return !m_segments.isEmpty() && m_segments.last().endsWith(u'=') && quotedPrintable(); }
    void chopSoftBreak()
    {
        m_segments.last().chop(1);
        if (m_segments.last().isEmpty())
            m_segments.removeLast();
    }
    void append(QStringView segment)
    {
        if (!segment.isEmpty())
            m_segments.append(segment);
    }
    void clear()
    {
        m_segments.clear();
        m_scanned = 0;
        m_quotedPrintable = false;
    }
    // The name before the first ";" or ":", group prefix dropped, in upper
    // case; a long one is cut, as no name read is long.
    QString name() const
    {
        QString name;
        for (QStringView segment : m_segments)
            for (QChar c : segment) {
                if (c == u':' || c == u';')
                    return name.toUpper();
                if (c == u'.')
                    name.clear();
                else if (name.size() < kLongestName)
                    name += c;
            }
        return name.toUpper();
    }
    QString joined() const
    {
        QString text;
        for (QStringView segment : m_segments)
            text += segment;
        return text;
    }

private:
    static constexpr QLatin1String kWord{"QUOTED-PRINTABLE"};
    static constexpr int kLongestName = 8;

    // Whether the word is in the line: the segments not looked at yet are
    // looked at, each with the end of the one before it, so each segment is
    // looked at once however often this is asked. (Once found it stays: only
    // "=" is ever chopped.)
    bool quotedPrintable() const
    {
        for (; !m_quotedPrintable && m_scanned < m_segments.size(); ++m_scanned) {
            const QStringView segment = m_segments[m_scanned];
            QString join;
            if (m_scanned > 0)
                join = tail(m_scanned, kWord.size() - 1);
            join += segment.left(kWord.size() - 1);
            m_quotedPrintable =
                segment.contains(kWord, Qt::CaseInsensitive) || join.contains(kWord, Qt::CaseInsensitive);
        }
        return m_quotedPrintable;
    }
    // The last n characters of the segments before end.
    QString tail(qsizetype end, qsizetype n) const
    {
        QString text;
        for (qsizetype i = end - 1; i >= 0 && text.size() < n; --i)
            text.prepend(m_segments[i].right(n - text.size()));
        return text;
    }

    QList<QStringView> m_segments;
    mutable qsizetype m_scanned = 0;
    mutable bool m_quotedPrintable = false;
};

// Joins folded lines: a line starting with a blank continues the one before,
// and a quoted-printable value ending in "=" continues on the next line. Each
// line of the text is looked at once. Gives the lines with a name read.
QStringList unfolded(QStringView text)
{
    QStringList lines;
    FoldedLine line;
    bool started = false;
    auto finish = [&] {
        if (started && isRead(line.name()))
            lines << line.joined();
        line.clear();
    };
    for (qsizetype at = 0; at <= text.size();) {
        qsizetype end = text.indexOf(u'\n', at);
        if (end < 0)
            end = text.size();
        QStringView raw = text.mid(at, end - at);
        at = end + 1;
        if (raw.endsWith(u'\r'))
            raw.chop(1);
        if (started && line.softBreakAhead()) {
            line.chopSoftBreak();
            line.append(raw.trimmed());
        } else if (started && (raw.startsWith(u' ') || raw.startsWith(u'\t'))) {
            line.append(raw.mid(1));
        } else if (!raw.isEmpty()) {
            finish();
            line.append(raw);
            started = true;
        }
    }
    finish();
    return lines;
}

QString quotedPrintable(const QString &value)
{
    QByteArray out;
    const QByteArray in = value.toLatin1();
    for (qsizetype i = 0; i < in.size(); ++i) {
        if (in[i] == '=' && i + 2 < in.size()) {
            out += char(in.mid(i + 1, 2).toInt(nullptr, 16));
            i += 2;
        } else {
            out += in[i];
        }
    }
    return QString::fromUtf8(out);
}

QString unescaped(const QString &value)
{
    QString out;
    for (qsizetype i = 0; i < value.size(); ++i) {
        if (value[i] == QLatin1Char('\\') && i + 1 < value.size()) {
            const QChar next = value[++i];
            out += (next == QLatin1Char('n') || next == QLatin1Char('N')) ? QLatin1Char(' ') : next;
        } else {
            out += value[i];
        }
    }
    return out;
}

// Splits a structured value at its unescaped ";".
QStringList components(const QString &value)
{
    QStringList parts{QString()};
    for (qsizetype i = 0; i < value.size(); ++i) {
        if (value[i] == QLatin1Char('\\') && i + 1 < value.size()) {
            parts.last() += value.mid(i, 2);
            ++i;
        } else if (value[i] == QLatin1Char(';')) {
            parts << QString();
        } else {
            parts.last() += value[i];
        }
    }
    for (QString &part : parts)
        part = unescaped(part).trimmed();
    return parts;
}

Line lineOf(const QString &text)
{
    Line line;
    const qsizetype colon = text.indexOf(QLatin1Char(':'));
    QStringList head = text.left(colon).split(QLatin1Char(';'));
    line.name = head.takeFirst().section(QLatin1Char('.'), -1).toUpper(); // "item1.EMAIL" is EMAIL
    for (const QString &param : head)
        for (const QString &p : param.section(QLatin1Char('='), -1).split(QLatin1Char(',')))
            line.params << p.toUpper().remove(QLatin1Char('"'));
    line.value = colon < 0 ? QString() : text.mid(colon + 1);
    if (line.params.contains(QLatin1String("QUOTED-PRINTABLE")))
        line.value = quotedPrintable(line.value);
    return line;
}

void take(VCardContact &card, const Line &line)
{
    const QStringList parts = components(line.value);
    if (line.name == QLatin1String("N")) {
        card.lastName = parts.value(0);
        card.firstName = parts.value(1);
    } else if (line.name == QLatin1String("FN")) {
        card.fullName = parts.join(QLatin1Char(' '));
    } else if (line.name == QLatin1String("ORG")) {
        card.company = parts.value(0);
    } else if (line.name == QLatin1String("UID")) {
        card.entryId = unescaped(line.value).trimmed();
    } else if (line.name == QLatin1String("EMAIL") && card.email.isEmpty()) {
        card.email = unescaped(line.value).trimmed();
    } else if (line.name == QLatin1String("TEL")) {
        QString number = unescaped(line.value).trimmed();
        number.remove(QLatin1String("tel:"));
        if (line.params.contains(QLatin1String("CELL")) && card.mobilePhone.isEmpty())
            card.mobilePhone = number;
        else if (line.params.contains(QLatin1String("WORK")) && card.workPhone.isEmpty())
            card.workPhone = number;
    }
}

} // namespace

QList<VCardContact> VCardReader::parse(const QByteArray &bytes, const QString &fileName, bool *unfinished)
{
    QList<VCardContact> cards;
    VCardContact card;
    bool inCard = false;
    for (const QString &text : unfolded(QString::fromUtf8(bytes))) {
        const Line line = lineOf(text);
        if (line.name == QLatin1String("BEGIN") && line.value.trimmed().compare(QLatin1String("VCARD"), Qt::CaseInsensitive) == 0) {
            card = VCardContact();
            inCard = true;
        } else if (line.name == QLatin1String("END") && inCard) {
            if (card.entryId.isEmpty())
                card.entryId = fileName + QLatin1Char('#') + QString::number(cards.size());
            if (card.firstName.isEmpty() && card.lastName.isEmpty())
                card.firstName = card.fullName;
            cards << card;
            inCard = false;
        } else if (inCard) {
            take(card, line);
        }
    }
    if (unfinished)
        *unfinished = inCard;
    return cards;
}

FolderFiles::Listing VCardReader::files(const QString &path)
{
    return FolderFiles::list(path, {QStringLiteral("*.vcf"), QStringLiteral("*.vcard")});
}

QList<VCardContact> VCardReader::readPath(const QString &path, QStringList *warnings)
{
    return read(files(path), warnings);
}

QList<VCardContact> VCardReader::read(const FolderFiles::Listing &listing, QStringList *warnings, bool *unfinished)
{
    if (warnings)
        *warnings << listing.leftOut;
    if (unfinished)
        *unfinished = false;
    QList<VCardContact> cards;
    for (const FolderFiles::File &file : listing.files) {
        QString problem;
        bool cut = false;
        if (const std::optional<QByteArray> bytes = BoundedFile::read(file.path, &problem, file.allowance))
            cards += parse(*bytes, QFileInfo(file.path).fileName(), &cut);
        else if (warnings)
            *warnings << file.path + QStringLiteral(": ") + problem;
        if (unfinished)
            *unfinished = *unfinished || cut;
    }
    return cards;
}

QByteArray VCardReader::cardText(const QString &uid, const QString &first, const QString &last, const QString &company)
{
    auto escaped = [](QString value) {
        return value.replace(QLatin1Char('\\'), QLatin1String("\\\\"))
            .replace(QLatin1Char(';'), QLatin1String("\\;"))
            .replace(QLatin1Char(','), QLatin1String("\\,"))
            .replace(QLatin1Char('\n'), QLatin1String("\\n"));
    };
    const QString full = QStringList{first, last}.join(QLatin1Char(' ')).trimmed();
    QString card = QStringLiteral("BEGIN:VCARD\r\nVERSION:3.0\r\nUID:%1\r\nN:%2;%3;;;\r\nFN:%4\r\n")
                       .arg(uid, escaped(last), escaped(first), escaped(full));
    if (!company.isEmpty())
        card += QStringLiteral("ORG:%1\r\n").arg(escaped(company));
    card += QStringLiteral("END:VCARD\r\n");
    return card.toUtf8();
}

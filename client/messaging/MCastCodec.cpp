#include "MCastCodec.h"

#include "platform/DateUtil.h"

#include <QLocale>
#include <QUtf8StringView>
#include <array>
#include <charconv>
#include <cmath>
#include <limits>

namespace {

const QString kEnd = QStringLiteral("#!");

// The pieces of a datagram of the given type, or nothing when it is another
// type or has fewer pieces than its type needs.
std::optional<QStringList> piecesOf(const QString &datagram, char type, int minimum)
{
    if (datagram.isEmpty() || datagram.front() != QLatin1Char(type))
        return std::nullopt;
    QStringList pieces = datagram.split(kEnd);
    if (pieces.size() < minimum)
        return std::nullopt;
    return pieces;
}

QString tail(const QString &firstPiece)
{
    return firstPiece.mid(1);
}

} // namespace

QByteArray MCastCodec::toWire(const QString &datagram)
{
    return datagram.toUtf8();
}

QString MCastCodec::fromWire(const QByteArray &bytes)
{
    if (QUtf8StringView(bytes).isValidUtf8())
        return QString::fromUtf8(bytes);
    return QString::fromLatin1(bytes);
}

QString MCastCodec::statusUpdate(const CMCastUpdate &update)
{
    return build(StatusUpdate, {QString::number(update.Seq), QString::number(update.UserID), update.Status,
                                update.Note, DateUtil::numberText(update.ETD), DateUtil::numberText(update.ETA)});
}

QString MCastCodec::resendRequest(qint32 seq)
{
    return build(ResendRequest, {QString::number(seq)});
}

QString MCastCodec::instantMessage(const QString &senderName, const QString &recipients, const QString &text)
{
    return build(InstantMessage, {QString(), senderName, recipients, text});
}

QString MCastCodec::chatMessage(const QString &msgId, const QString &senderName, const QString &roomId,
                                const QString &text)
{
    return build(ChatMessage, {msgId, senderName, roomId, text});
}

QString MCastCodec::chatInvitation(const QString &msgId, const QString &inviterName, const QString &inviteeId,
                                   const QString &roomId)
{
    return build(ChatInvitation, {msgId, inviterName, inviteeId, roomId});
}

QString MCastCodec::joinChat(const QString &userName, const QString &roomId)
{
    return build(JoinChat, {QString(), userName, roomId});
}

QString MCastCodec::leaveChat(const QString &userName, const QString &roomId)
{
    return build(LeaveChat, {QString(), userName, roomId});
}

QString MCastCodec::chatWriting(const QString &msgId, const QString &userName, const QString &roomId)
{
    return build(ChatWriting, {msgId, userName, roomId});
}

std::optional<CMCastUpdate> MCastCodec::readStatusUpdate(const QString &datagram)
{
    const auto pieces = piecesOf(datagram, StatusUpdate, 7);
    if (!pieces)
        return std::nullopt;
    const int n = int(pieces->size());
    const auto seq = parseInt32(tail(pieces->at(0)));
    const auto userId = parseInt32(pieces->at(1));
    if (!seq || !userId)
        return std::nullopt;
    CMCastUpdate update;
    update.Seq = *seq;
    update.UserID = *userId;
    update.Status = pieces->at(2);
    update.Note = joinFreeText(*pieces, 3, n - 4);
    update.ETD = parseDays(pieces->at(n - 3));
    update.ETA = parseDays(pieces->at(n - 2));
    update.OriginatorID = -1;
    return update;
}

std::optional<qint32> MCastCodec::readResendRequest(const QString &datagram)
{
    const auto pieces = piecesOf(datagram, ResendRequest, 2);
    if (!pieces)
        return std::nullopt;
    return parseInt32(tail(pieces->at(0)));
}

std::optional<MCastCodec::Message> MCastCodec::readInstantMessage(const QString &datagram)
{
    return readWithText(datagram, InstantMessage);
}

std::optional<MCastCodec::Message> MCastCodec::readChatMessage(const QString &datagram)
{
    return readWithText(datagram, ChatMessage);
}

std::optional<MCastCodec::Message> MCastCodec::readChatInvitation(const QString &datagram)
{
    const auto pieces = piecesOf(datagram, ChatInvitation, 5);
    if (!pieces || pieces->size() != 5)
        return std::nullopt;
    const auto invitee = parseInt32(pieces->at(2));
    if (!invitee)
        return std::nullopt;
    Message message;
    message.msgId = tail(pieces->at(0));
    message.name = pieces->at(1);
    message.inviteeId = *invitee;
    message.text = pieces->at(3);
    return message;
}

std::optional<MCastCodec::Message> MCastCodec::readRoomEvent(const QString &datagram)
{
    if (datagram.isEmpty())
        return std::nullopt;
    const char type = char(datagram.front().unicode());
    if (type != JoinChat && type != LeaveChat)
        return std::nullopt;
    const auto pieces = piecesOf(datagram, type, 4);
    if (!pieces)
        return std::nullopt;
    Message message;
    message.name = pieces->at(1);
    message.target = pieces->at(2);
    return message;
}

std::optional<MCastCodec::Message> MCastCodec::readChatWriting(const QString &datagram)
{
    const auto pieces = piecesOf(datagram, ChatWriting, 4);
    if (!pieces || pieces->size() != 4)
        return std::nullopt;
    Message message;
    message.msgId = tail(pieces->at(0));
    message.name = pieces->at(1);
    message.target = pieces->at(2);
    return message;
}

std::optional<qint32> MCastCodec::parseInt32(const QString &text)
{
    const int start = text.startsWith(u'-') ? 1 : 0;
    const int digits = int(text.size()) - start;
    if (digits < 1 || digits > 10)
        return std::nullopt;
    for (int i = start; i < text.size(); ++i) {
        if (text.at(i) < u'0' || text.at(i) > u'9')
            return std::nullopt;
    }
    const qint64 value = text.toLongLong();
    if (value < std::numeric_limits<qint32>::min() || value > std::numeric_limits<qint32>::max())
        return std::nullopt;
    return qint32(value);
}

double MCastCodec::parseDays(const QString &text)
{
    // 1 January 100 to 31 December 9999, the range a stored date can take.
    constexpr double kFirstDay = -657434.0;
    constexpr double kPastLastDay = 2958466.0;
    bool ok = false;
    const double days = parseNumber(text, ok);
    if (!ok || !std::isfinite(days) || days <= kFirstDay - 1 || days >= kPastLastDay)
        return 0;
    return days;
}

// Every update carries two day numbers, as a sender writes them: digits with
// at most one decimal point. Those are read directly; both ways round to the
// nearest double, so they agree. Any other form goes to the C locale's reader.
double MCastCodec::parseNumber(const QString &text, bool &ok)
{
    std::array<char, 32> plain{};
    double value = 0;
    if (plainDecimal(text, plain)) {
        const char *end = plain.data() + text.size();
        ok = std::from_chars(plain.data(), end, value).ptr == end;
        if (ok)
            return value;
    }
    static const QLocale c = [] {
        QLocale locale = QLocale::c();
        locale.setNumberOptions(QLocale::RejectGroupSeparator);
        return locale;
    }();
    return c.toDouble(text, &ok);
}

// Copies "-123.456" and the like, digits on both sides of any point, into
// plain; false for any other text.
bool MCastCodec::plainDecimal(const QString &text, std::array<char, 32> &plain)
{
    if (text.size() > qsizetype(plain.size()))
        return false;
    const qsizetype first = text.startsWith(u'-') ? 1 : 0;
    const qsizetype point = text.indexOf(u'.');
    const qsizetype last = text.size() - 1;
    if (first > last || point == first || point == last)
        return false;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (i >= first && i != point && (c < u'0' || c > u'9'))
            return false;
        plain[std::size_t(i)] = char(c.unicode());
    }
    return true;
}

std::optional<MCastCodec::Message> MCastCodec::readWithText(const QString &datagram, char type)
{
    const auto pieces = piecesOf(datagram, type, 5);
    if (!pieces)
        return std::nullopt;
    Message message;
    message.msgId = tail(pieces->at(0)); // empty for "m"
    message.name = pieces->at(1);
    message.target = pieces->at(2);
    message.text = joinFreeText(*pieces, 3, int(pieces->size()) - 2);
    return message;
}

QString MCastCodec::build(char type, const QStringList &fields)
{
    QString datagram{QLatin1Char(type)};
    for (const QString &field : fields)
        datagram += field + kEnd;
    return datagram;
}

QString MCastCodec::joinFreeText(const QStringList &pieces, int first, int last)
{
    return pieces.mid(first, last - first + 1).join(kEnd);
}

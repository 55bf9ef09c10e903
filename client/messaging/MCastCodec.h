#pragma once

#include "CMCastUpdate.h"

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <array>
#include <optional>

// The datagrams the running copies exchange, as text. Each begins with a type
// letter; every field, the last included, ends in "#!". Fields are not
// escaped, so a "#!" typed into a note or a message splits it: the readers
// below join such surplus pieces back into the one free-text field once the
// fixed fields have been read. Numbers go out in the C locale ("46000.5").
class MCastCodec
{
public:
    static constexpr char StatusUpdate = 's';
    static constexpr char ResendRequest = 'r';
    static constexpr char InstantMessage = 'm';
    static constexpr char ChatMessage = 'c';
    static constexpr char ChatInvitation = 'i';
    static constexpr char JoinChat = 'j';
    static constexpr char LeaveChat = 'l';
    static constexpr char ChatWriting = 'w';

    // What a received datagram carries, by type. Fields a type lacks stay empty.
    struct Message
    {
        QString msgId;   // "c", "i", "w"
        QString name;    // the sender's, inviter's, joiner's or typist's full name
        QString target;  // recipients of "m", room id of the chat types
        QString text;    // text of "m" and "c", room id of "i"
        qint32 inviteeId = 0; // "i"
    };

    // Text on the wire is UTF-8; what is not valid UTF-8 came from an older
    // copy writing its code page and is read as Latin-1.
    static QByteArray toWire(const QString &datagram);
    static QString fromWire(const QByteArray &bytes);

    static QString statusUpdate(const CMCastUpdate &update);
    static QString resendRequest(qint32 seq);
    static QString instantMessage(const QString &senderName, const QString &recipients, const QString &text);
    static QString chatMessage(const QString &msgId, const QString &senderName, const QString &roomId,
                               const QString &text);
    static QString chatInvitation(const QString &msgId, const QString &inviterName, const QString &inviteeId,
                                  const QString &roomId);
    static QString joinChat(const QString &userName, const QString &roomId);
    static QString leaveChat(const QString &userName, const QString &roomId);
    static QString chatWriting(const QString &msgId, const QString &userName, const QString &roomId);

    // Readers: nothing when the datagram is too short for its type or a fixed
    // field does not parse. The update read has OriginatorID -1.
    static std::optional<CMCastUpdate> readStatusUpdate(const QString &datagram);
    static std::optional<qint32> readResendRequest(const QString &datagram);
    static std::optional<Message> readInstantMessage(const QString &datagram);
    static std::optional<Message> readChatMessage(const QString &datagram);
    static std::optional<Message> readChatInvitation(const QString &datagram);
    static std::optional<Message> readRoomEvent(const QString &datagram); // "j" and "l"
    static std::optional<Message> readChatWriting(const QString &datagram);

    // A whole decimal number that fits 32 bits: an optional minus sign and
    // digits, nothing else.
    static std::optional<qint32> parseInt32(const QString &text);
    // A day number; one that does not parse, is not finite or lies outside
    // the years 100 to 9999 reads as 0 (no date).
    static double parseDays(const QString &text);

private:
    static double parseNumber(const QString &text, bool &ok);
    static bool plainDecimal(const QString &text, std::array<char, 32> &plain);
    // "m" and "c": four fields, the last free text.
    static std::optional<Message> readWithText(const QString &datagram, char type);
    static QString build(char type, const QStringList &fields);
    static QString joinFreeText(const QStringList &pieces, int first, int last);
};

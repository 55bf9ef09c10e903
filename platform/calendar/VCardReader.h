#pragma once

#include "FolderFiles.h"

#include <QList>
#include <QString>
#include <QStringList>

// One person of the user's address book.
struct VCardContact
{
    QString entryId; // UID, else file name and place
    QString fullName;
    QString firstName;
    QString lastName;
    QString company;
    QString workPhone;
    QString mobilePhone;
    QString email;
};

// Reads vCards of versions 2.1 to 4.0 from a .vcf file or a folder of them:
// folded lines, escapes, quoted-printable values and typed phone numbers.
class VCardReader
{
public:
    // unfinished, where given, is set when the text ends inside a card: a
    // file that is still being written, or was left so.
    static QList<VCardContact> parse(const QByteArray &text, const QString &fileName, bool *unfinished = nullptr);
    // Only regular files are read, all together up to a size; what is left
    // out is named in warnings.
    static QList<VCardContact> readPath(const QString &path, QStringList *warnings = nullptr);
    // The card files at path, a file or a folder of .vcf and .vcard files.
    static FolderFiles::Listing files(const QString &path);
    static QList<VCardContact> read(const FolderFiles::Listing &listing, QStringList *warnings = nullptr,
                                    bool *unfinished = nullptr);

    // A minimal card of our own for a new contact.
    static QByteArray cardText(const QString &uid, const QString &first, const QString &last, const QString &company);
};

#pragma once

#include "BoundedFile.h"

#include <QList>
#include <QString>
#include <QStringList>

// The files a calendar or an address book is made of: one file, or the files
// of a folder whose names match, in name order. The files are read up to one
// size together, so a folder of links to one large file costs no more than
// that file: a file reached twice (a link, a hard link) is listed once, and a
// file that would pass the size is left out. Each kind of file left out is
// named in one warning.
class FolderFiles
{
public:
    struct File
    {
        QString path;
        qint64 allowance = 0; // the most of it that may be read
        QString stamp; // changes when the file does
    };
    struct Listing
    {
        QList<File> files;
        QStringList leftOut; // the warnings, none when nothing was left out
    };

    static Listing list(const QString &path, const QStringList &patterns, qint64 maxTotal = BoundedFile::MaxBytes);
};

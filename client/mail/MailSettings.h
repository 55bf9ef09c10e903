#pragma once

#include <QString>

// Where the user's calendar, contacts and call journal live and how mail
// leaves this machine: per-user values beside the other options.
struct MailSettings
{
    QString calendarPath;   // an .ics file or a folder of them; empty: no calendar
    QString contactsPath;   // a .vcf file or a folder of them
    QString journalPath;    // the call journal's .ics file
    QString sendmailCommand; // fed the whole message; no shell runs it
    QString mailProgram;    // opens the inbox; empty: the desktop's mail program
    QString supportMailbox; // where reports to the makers go

    static MailSettings read();
};

#pragma once

#include <QString>

// Where the user's contacts and call journal live and how mail leaves this
// machine: per-user values beside the other options. The calendar's own
// settings are CalendarSettings'.
struct MailSettings
{
    QString contactsPath;   // a .vcf file or a folder of them
    QString journalPath;    // the call journal's .ics file
    QString sendmailCommand; // fed the whole message; no shell runs it
    QString mailProgram;    // opens the inbox; empty: the desktop's mail program
    QString supportMailbox; // where reports to the makers go

    static MailSettings read();
};

#pragma once

#include <QString>

// The system-wide options an administrator sets: the two switches of the
// ADMIN row and keys of the Properties table, as the dialog shows them.
struct AdminOptions
{
    bool markOutOnClose = false;
    bool enableTimeSheets = true;
    QString helpUrl;
    QString iconFolder;
    QString sendPort;
    QString listenPort;
    bool enableOutlook = true;
    bool secureOutlook = false;
    bool enableChat = false;

    // Reads them. Without an ADMIN row the two switches keep the values
    // they came with; a missing key reads as "". Raises its failures.
    void read();
    // Writes them in one transaction, a missing ADMIN row or key inserted:
    // texts and switches always, a port only when it is a valid port that
    // differs from the one read (stored). Raises its failures, and then
    // nothing is written.
    void save(const AdminOptions &stored) const;
};

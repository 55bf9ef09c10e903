#pragma once

#include <QByteArray>
#include <QString>

// What the text pane lays out, on the window's thread, for one page. Its
// cost grows with a page's weight, faster than the weight for a word without
// a break, and doubles with every table nested inside another: each limit
// keeps the longest a page holds the window to well under a second.
class PageWeight
{
public:
    static constexpr qsizetype ByteLimit = 64 * 1024;
    static constexpr int TableDepthLimit = 12;
    static constexpr int ListDepthLimit = 100;

    // What the pane says of a page over the byte limit.
    static QString tooLarge();
    // Why the page is more than the pane lays out, or nothing.
    static QString tooHeavy(const QByteArray &page);
    // How deep the named elements nest in the page, as its tags open and close them.
    static int depth(const QByteArray &page, std::initializer_list<QByteArrayView> names);
};

#pragma once

#include <QString>

// A cheap first bound on the pane's own form of a page, kept while the form
// is written: the tally of what it holds against limits well past what a
// page needs. A page past a limit is written up to it (a table up to a row);
// why() says what the rest held. Beside it runs an estimate of what laying
// the form out costs, in units of one plain character: each table around a
// cell doubles what the cell and its text cost (as measured on the manual
// pages of a few packages, laid out at the pane's usual width, about nine
// thousand units to a millisecond on all of them). The estimate limits
// nothing: it orders the parts the reader lays out and guesses their size,
// and what is handed to the window is bounded by the layout's real time
// (PageReader).
class PageWeight
{
public:
    // What is read of a page; a larger page is shown as its first part.
    static constexpr qsizetype ByteLimit = 1024 * 1024;
    // Any element inside another, as the page nests them: deeper, an
    // element keeps its text alone (a table its cells' text); past the
    // nesting limit the rest of the page is left out.
    static constexpr int DepthLimit = 48;
    static constexpr int TableDepthLimit = 8;
    static constexpr int NestLimit = 1000;
    static constexpr int ElementLimit = 60000;
    // The slots of every table's grid, rows by widest row.
    static constexpr int CellLimit = 20000;
    static constexpr int PictureLimit = 3000;
    // Spans beyond these are cut to them (a row span to the rows left).
    static constexpr int ColumnSpanLimit = 20;
    // A word longer is broken, a letter's run of marks cut.
    static constexpr int WordLimit = 64;
    static constexpr int MarkLimit = 4;

    // Why the rest of a page over the byte limit is left out.
    static QString tooLarge();

    // Each charge counts at tableDepth, the tables around it; false once the
    // page is past a limit, which why() then names.
    bool enter(int depth);
    bool element(int tableDepth);
    bool picture(int tableDepth);
    // A table, then each row by the slots it adds to the table's grid.
    bool table(int tableDepth);
    bool row(qint64 added, int tableDepth);
    bool text(qsizetype characters, qsizetype marks, int tableDepth);

    QString why() const { return m_why; }
    qint64 cost() const { return m_cost; }

private:
    bool charge(qint64 units);
    bool refuse(const QString &why);

    int m_elements = 0;
    int m_pictures = 0;
    qint64 m_cells = 0;
    qint64 m_cost = 0;
    QString m_why;
};

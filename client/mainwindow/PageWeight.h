#pragma once

#include <QString>

// What the text pane lays out, on the window's thread, for one page: the
// tally of what the pane's own form of the page holds, against its limits.
// The layout's cost grows with the characters, blocks, pictures and table
// cells it holds, and each table around a cell triples what the cell costs
// (doubles what its text costs): the cost is counted in units of one plain
// character, and the limit keeps a page to a few times what 64 KB of plain
// text costs, well under a second on any machine the pane runs on.
class PageWeight
{
public:
    static constexpr qsizetype ByteLimit = 64 * 1024;
    // Any element inside another, as the page nests them.
    static constexpr int DepthLimit = 48;
    static constexpr int TableDepthLimit = 4;
    static constexpr int ElementLimit = 8000;
    // The slots of every table's grid, rows by widest row.
    static constexpr int CellLimit = 1000;
    static constexpr int PictureLimit = 300;
    static constexpr qint64 CostLimit = 150000;
    // Spans beyond these are cut to them (a row span to the rows left).
    static constexpr int ColumnSpanLimit = 20;
    // A word longer is broken, a letter's run of marks cut.
    static constexpr int WordLimit = 64;
    static constexpr int MarkLimit = 4;

    // What the pane says of a page over the byte limit.
    static QString tooLarge();

    // Each charge counts at tableDepth, the tables around it; false once the
    // page is past a limit, which why() then names.
    bool enter(int depth, int tableDepth);
    bool element(int tableDepth);
    bool picture(int tableDepth);
    // A table of that many slots in its grid.
    bool table(qint64 cells, int tableDepth);
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

#pragma once

#include <QByteArray>
#include <QString>
#include <limits>

class PageSubset;

// The reader's work on one page, in its own process: the page's bytes
// decoded, read into the pane's own form (PageSubset), and that form laid
// out at the pane's width, as the pane will lay it out, to find how much of
// it lays out within the window's budget. Only that first part is handed
// back, with why the rest is left out.
class PageReader
{
public:
    // What the window may spend laying the form out, measured here in
    // processor time; the window spends about as much again.
    static constexpr int LayoutBudgetMs = 120;
    // How a try ends when reading a part into its document alone took past
    // the budget: a try follows that tries only smaller parts.
    static constexpr int ReadingTooSlow = 87;
    // How the reader ends when its last try ran out of processor time.
    static constexpr int OutOfTime = 88;

    struct Form
    {
        QString html;
        QString leftOut; // why the rest of the page is left out; empty when whole
        qint64 peakKB = 0; // the reader's largest resident size
        qint64 layoutMs = 0; // the layout of the part handed back, as measured
    };

    // budgetMs: what a part handed back may take to lay out.
    explicit PageReader(int width, int budgetMs = LayoutBudgetMs) : m_width(width), m_budgetMs(budgetMs) { }
    // page: as it came; charset: as its server declared it, or empty.
    // Parts weighing below or more are known not to read into a document
    // within the budget and are not tried. The whole form is laid out first
    // unless it is guessed not to fit. The part handed back is the largest
    // found to lay out within the budget.
    Form read(const QByteArray &page, const QByteArray &charset,
              qint64 below = std::numeric_limits<qint64>::max()) const;

    // read() in a process of its own, forked from this one and given part of
    // this one's processor time: where it runs out of that or of memory, the
    // page's first part is read again, an eighth as long each time, and the
    // form says so; a try with a part that would not read into its document
    // within the budget is followed by one that tries only smaller parts.
    // False when
    // not even the shortest part could be read; waitStatus then says how its
    // process ended.
    bool readInParts(const QByteArray &page, const QByteArray &charset, Form &form,
                     int &waitStatus) const;

    // The form as the reader writes it to the pane, and as the pane reads it
    // back; false for an answer that is none.
    static QByteArray answer(const Form &form);
    // Whether a try that ended so ran out of processor time.
    static bool ranOutOfTime(int waitStatus);
    static bool fromAnswer(const QByteArray &answer, Form &form);

private:
    struct Laid
    {
        qint64 ms; // past the budget when it does not fit
        double reached; // the share of the document laid out within the budget
    };
    Laid layOut(const QString &html) const;
    qsizetype largestPartThatFits(const PageSubset &form, qint64 below, qint64 &layoutMs) const;
    bool readApart(const QByteArray &page, const QByteArray &charset, qint64 below, Form &form,
                   int &waitStatus) const;

    int m_width;
    int m_budgetMs;
};

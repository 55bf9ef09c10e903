#pragma once

#include <QByteArray>
#include <QString>

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
    // How the reader ends when the whole form took past the budget to lay
    // out: its parts are then read, by a reader that does not try the whole.
    static constexpr int WholeTooSlow = 87;

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
    // The whole form is laid out first unless it is known not to fit.
    Form read(const QByteArray &page, const QByteArray &charset, bool wholeFirst = true) const;

    // read() in a process of its own, forked from this one and given part of
    // this one's processor time: where it runs out of that or of memory, the
    // page's first part is read again, an eighth as long each time, and the
    // form says so. False when not even the shortest part could be read;
    // waitStatus then says how its process ended (WholeTooSlow included,
    // which no shorter part is tried for).
    bool readInParts(const QByteArray &page, const QByteArray &charset, bool wholeFirst, Form &form,
                     int &waitStatus) const;

    // The form as the reader writes it to the pane, and as the pane reads it
    // back; false for an answer that is none.
    static QByteArray answer(const Form &form);
    static bool fromAnswer(const QByteArray &answer, Form &form);

private:
    qint64 layoutMs(const QString &html) const;
    bool readApart(const QByteArray &page, const QByteArray &charset, bool wholeFirst, Form &form,
                   int &waitStatus) const;

    int m_width;
    int m_budgetMs;
};

#pragma once

#include "PageText.h"
#include "PageWeight.h"

#include <QByteArray>
#include <QList>
#include <QString>

struct GumboInternalNode;

// The text pane's own form of a page. The page is read with an HTML parser,
// as a browser reads it (comments, attributes, scripts and styles are what
// they are), and written again with only what the pane shows: text,
// headings, paragraphs, links, lists, simple tables, pictures as empty
// placeholders, the direction of the text. PageWeight counts what is
// written; a page past one of its limits is written up to it, and
// leftOut() says why the rest is not. The form can also be cut at any of
// many points along it (in a long text, between the rows of a table), every
// element it opened closed again, so that only its first part is laid out.
//
// It runs in the reader's process only: the parser's memory is held to a
// budget, past which the process ends with OutOfMemory.
class PageSubset
{
public:
    static constexpr int OutOfMemory = 86;
    // What the parser may hold at once.
    static constexpr qsizetype ParserBudget = 128 * 1024 * 1024;

    // page: the page as UTF-8.
    explicit PageSubset(const QByteArray &page);

    // The form whole, every element closed.
    QString html() const { return upTo(m_cuts.size() - 1); }
    // Why the rest of the page is left out; empty when it is written whole.
    QString leftOut() const { return m_weight.why(); }
    // The places the form can be cut, in order; the last is its end. A
    // cut's weight is what laying out the form up to it costs, about: its
    // characters and the tally's estimate; it grows along the form.
    qsizetype cuts() const { return m_cuts.size(); }
    qint64 cutWeight(qsizetype cut) const { return m_cuts.at(cut).weight; }
    // The form up to a cut, every element then open closed.
    QString upTo(qsizetype cut) const;

private:
    using Node = GumboInternalNode;
    struct Cut
    {
        qsizetype offset;
        qint64 weight;
        qsizetype open; // the innermost element then open, in m_opened
    };
    // An element written, and the one it is in (-1: none).
    struct Opened
    {
        const char *name;
        qsizetype outer;
    };
    void document(const Node *root);
    bool node(const Node *node, int depth);
    bool children(const Node *parent, int depth);
    bool element(const Node *node, int depth);
    bool named(const Node *node, const char *name, int depth);
    bool noFrames(const Node *node, int depth);
    bool text(const QString &text);
    bool table(const Node *node, int depth);
    bool rows(const QList<const Node *> &rows, const QString &border, int depth);
    bool cell(const Node *cell, int colspan, int rowspan, int depth);
    void open(const QString &tag, const char *name);
    void close(bool cut = true);
    void markCut(bool always = false);

    QString m_html;
    QList<Opened> m_opened; // every element written, in order
    qsizetype m_open = -1; // the innermost not yet closed
    QList<Cut> m_cuts;
    PageWeight m_weight;
    PageText m_text;
    int m_tableDepth = 0;
    bool m_lineBreaks = false;
    bool m_inNoFrames = false;
};

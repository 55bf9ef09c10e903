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
// placeholders. PageWeight counts what is written; a page past one of its
// limits is not written at all, and why() says why.
class PageSubset
{
public:
    explicit PageSubset(const QByteArray &page);

    // The page in the pane's form; empty when it was refused.
    QString html() const { return m_why.isEmpty() ? m_html : QString(); }
    QString why() const { return m_why; }

private:
    using Node = GumboInternalNode;
    void document(const Node *root);
    bool node(const Node *node, int depth);
    bool children(const Node *parent, int depth);
    bool element(const Node *node, int depth);
    bool named(const Node *node, const char *name, int depth);
    bool voidElement(const Node *node);
    bool text(const QString &text);
    bool table(const Node *node, int depth);
    bool rows(const QList<const Node *> &rows, const QString &border, int depth);
    bool cell(const Node *cell, int colspan, int rowspan, int depth);
    qint64 gridSlots(const QList<const Node *> &rows) const;

    QString m_html;
    QString m_why;
    PageWeight m_weight;
    PageText m_text;
    int m_tableDepth = 0;
    bool m_lineBreaks = false;
};

#pragma once

#include <QByteArray>
#include <QList>
#include <QRandomGenerator>

// Pages generated for the text pane, most up to 64 KB: every shape that
// once held the window or the program's memory (deep, wide and branching
// tables, closing tags hidden where a byte scan would count them, spans,
// spans held from rows above, pictures, inline nests, formatting elements
// the parser copies into every paragraph, flat lists, marks, long words,
// many cells), at several sizes, ordinary pages, and mixes.
struct HostilePage
{
    // Shown whole, or its first part with a line saying the rest is left out.
    enum Expect { Either, Whole, Cut };
    QByteArray name, html;
    Expect expect = Either;
};

namespace HostilePages {

using B = QByteArray;

inline B upTo64K(const B &unit, int times = 1 << 20)
{
    return unit.repeated(qMax(1, qMin(times, int((64 * 1024 - 200) / qMax(qsizetype(1), unit.size())))));
}

// A closing tag where a parser sees none: in a comment, an attribute, a
// script, a style, a CDATA section (a comment to an HTML reader); or none.
inline B hidden(int way, const B &tag)
{
    const B ways[] = {"<!--" + tag + "-->", "<b title=\"" + tag + "\">x</b>", "<script>'" + tag + "'</script>",
                      "<style>/*" + tag + "*/</style>", "<![CDATA[" + tag + "]]>", ""};
    return ways[way % 6];
}

inline B nest(int depth, const B &inner = "x", int way = 5)
{
    return B("<table><tr><td>" + hidden(way, "</table>")).repeated(depth) + inner +
        B("</td></tr></table>").repeated(depth);
}

inline B tree(int depth)
{
    return depth == 0 ? B("x") : "<table><tr><td>" + tree(depth - 1) + "<td>" + tree(depth - 1) + "</table>";
}

inline B cells(int rows, int columns)
{
    return "<table border=1>" + B("<tr>" + B("<td>cell").repeated(columns)).repeated(rows) + "</table>";
}

// Formatting elements that differ in their attributes, open before
// paragraphs or list items: the parser copies them all into each.
inline B formatting(int n, const B &item)
{
    B open = "<p>";
    for (int i = 0; i < n; ++i)
        open += "<b id=" + B::number(i) + ">";
    return open + item.repeated(qMax(qsizetype(1), (64 * 1024 - 200 - open.size()) / item.size()));
}

inline B ordinary()
{
    B staff = "<h1>Staff</h1><table border=1><tr><th>Name<th>Room<th>Photo";
    for (int i = 0; i < 40; ++i)
        staff += "<tr><td><a href=\"/staff/" + B::number(i) + "\">Colleague " + B::number(i) + "</a><td>Room " +
            B::number(100 + i) + (i % 10 ? "<td>" : "<td><img src=\"/photo.png\" width=60 height=60>");
    return staff + "</table><ul>" + B("<li><a href=\"http://intranet/news\">News</a> and <i>more</i>").repeated(30) +
        "</ul>";
}

// Every shape at a few sizes, then mixes of them: several hundred pages.
inline QList<HostilePage> all()
{
    QList<HostilePage> pages;
    const auto add = [&](const B &name, const B &html, HostilePage::Expect expect = HostilePage::Either,
                         int size = 64 * 1024) { pages.append({name, html.left(size), expect}); };
    add("ordinary", ordinary(), HostilePage::Whole);
    add("plain 64 KB", upTo64K("lorem ipsum dolor sit amet "), HostilePage::Whole);
    add("20 tables side by side", B("<table><tr><td>x</td></tr></table>").repeated(20), HostilePage::Whole);
    for (int n : {10, 100, 500, 1500}) {
        add("formatting before paragraphs " + B::number(n), formatting(n, "<p>x"));
        add("formatting before list items " + B::number(n), "<ul>" + formatting(n, "<li>x"));
    }
    for (int items : {2000, 7900, 200000})
        add("flat list " + B::number(items), "<ul>" + B("<li>item").repeated(items),
            items > 7900 ? HostilePage::Cut : HostilePage::Either, 1 << 20);
    add("spans held from rows above", "<table border=1><tr>" + B("<td rowspan=0>held").repeated(20) +
        upTo64K("<tr><td>below<td>x"));
    for (int rows : {90, 95, 99})
        add("cells near the limit " + B::number(rows), cells(rows, 10));
    for (int way = 0; way < 6; ++way) {
        const B how = " hidden " + B::number(way);
        add("30 nested, closers" + how, nest(30, "x", way));
        add("side by side, closers" + how, upTo64K(nest(1, "x", way), 20),
            way == 5 ? HostilePage::Whole : HostilePage::Either);
        for (const B tag : {"ul", "sub", "blockquote"})
            add(tag + how, B("<" + tag + ">" + hidden(way, "</" + tag + ">")).repeated(200));
    }
    for (int depth = 1; depth <= 12; ++depth) {
        const B size = " " + B::number(depth);
        add("nest" + size, nest(depth), HostilePage::Whole);
        add("blocks of nests" + size, upTo64K(nest(depth)));
        add("side-by-side nests" + size, upTo64K(nest(depth) + nest(depth)));
        add("tree" + size, tree(qMin(depth, 11)));
        add("text in a nest" + size, nest(depth, upTo64K("some words to lay out ")));
    }
    for (int n : {10, 100, 1000, 10000, 100000}) {
        const B size = " " + B::number(n), span = B::number(n);
        add("spans" + size, "<table>" + upTo64K("<tr><td colspan=" + span + " rowspan=" + span + ">x</td></tr>", 1000));
        add("colspan" + size, "<table><tr><td colspan=" + span + ">x</td></tr><tr><td>y</td></tr></table>",
            HostilePage::Whole);
        add("pictures" + size, upTo64K("<img src=x>", n));
        add("sub" + size, upTo64K("<sub>", n) + "x");
        add("inline" + size, upTo64K("<b><i><u><span><a href=x>", n / 5 + 1) + "x");
        add("marks" + size, "a" + B("\xcc\x81").repeated(qMin(n, 30000)));
        add("marked letters" + size, upTo64K("a" + B("\xcc\x81").repeated(n % 97) + " ", n));
        add("word" + size, B(qMin(n, 64000), 'w'), HostilePage::Whole);
        add("words" + size, upTo64K(B(n % 500 + 1, 'w') + " ", n));
        add("cells" + size, cells(qMax(1, qMin(n, 12000) / 10), 10));
        add("rows" + size, "<table>" + upTo64K("<tr>", n));
        add("lists" + size, upTo64K("<ul><li>a", n));
        add("quotes" + size, upTo64K("<blockquote>a", n));
        add("divs" + size, upTo64K("<div>", n) + "x");
        add("paragraphs" + size, upTo64K("<p>x", n));
        add("pre" + size, "<pre>" + upTo64K(B(n % 300 + 1, 'w') + "\n", n));
    }
    QRandomGenerator random(20261206);
    const qsizetype shapes = pages.size();
    for (int i = 0; i < 300; ++i) {
        const HostilePage &a = pages[random.bounded(shapes)], &b = pages[random.bounded(shapes)];
        add("mix " + a.name + " + " + b.name, a.html.left(random.bounded(a.html.size() + 1)) + b.html);
    }
    return pages;
}

} // namespace HostilePages

#pragma once

#include <QByteArray>
#include <QList>
#include <QRandomGenerator>

// Pages generated for the text pane, each up to 64 KB: every shape that
// once held the window (deep, wide and branching tables, closing tags hidden
// where a byte scan would count them, spans, pictures, inline nests, marks,
// long words, many cells), at several sizes, ordinary pages, and mixes.
struct HostilePage
{
    enum Expect { Either, Shown, Refused };
    QByteArray name;
    QByteArray html;
    Expect expect = Either;
};

namespace HostilePages {

inline QByteArray upTo64K(const QByteArray &unit, int times = 1 << 20)
{
    return unit.repeated(qMax(1, qMin<int>(times, (64 * 1024 - 200) / qMax<qsizetype>(1, unit.size()))));
}

// A closing tag where a parser sees none: in a comment, an attribute,
// a script, a style, a CDATA section (a comment to an HTML reader).
inline QByteArray hidden(int way, const QByteArray &tag)
{
    const QByteArray ways[] = {"<!--" + tag + "-->", "<b title=\"" + tag + "\">x</b>", "<script>'" + tag + "'</script>",
                               "<style>/*" + tag + "*/</style>", "<![CDATA[" + tag + "]]>", ""};
    return ways[way % 6];
}

inline QByteArray nest(int depth, const QByteArray &inner = "x", int way = 5)
{
    return QByteArray("<table><tr><td>" + hidden(way, "</table>")).repeated(depth) + inner
        + QByteArray("</td></tr></table>").repeated(depth);
}

inline QByteArray tree(int depth)
{
    return depth == 0 ? QByteArray("x") : "<table><tr><td>" + tree(depth - 1) + "<td>" + tree(depth - 1) + "</table>";
}

inline QByteArray word(int length, char letter = 'w')
{
    return QByteArray(length, letter) + ' ';
}

inline QByteArray marked(int marks)
{
    return "a" + QByteArray("\xcc\x81").repeated(marks) + ' ';
}

inline QByteArray cells(int rows, int columns)
{
    return "<table border=1>" + QByteArray("<tr>" + QByteArray("<td>cell").repeated(columns)).repeated(rows) + "</table>";
}

inline QByteArray ordinary()
{
    QByteArray staff = "<h1>Staff</h1><table border=1><tr><th>Name<th>Room<th>Phone<th>Photo";
    for (int i = 0; i < 40; ++i)
        staff += "<tr><td><a href=\"/staff/" + QByteArray::number(i) + "\">Colleague " + QByteArray::number(i)
            + "</a><td>Room " + QByteArray::number(100 + i) + "<td>555-01" + QByteArray::number(i)
            + (i % 10 ? "<td>" : "<td><img src=\"/photo.png\" width=60 height=60>");
    return staff + "</table><h2>Links</h2><ul>"
        + QByteArray("<li><a href=\"http://intranet/news\">News</a> and the canteen's <i>menu</i>").repeated(30)
        + "</ul>";
}

// Every shape at a few sizes, then mixes of them: several hundred pages.
inline QList<HostilePage> all()
{
    QList<HostilePage> pages;
    auto add = [&](const QByteArray &name, const QByteArray &html, HostilePage::Expect expect = HostilePage::Either) {
        pages.append({name, html.left(64 * 1024), expect});
    };
    add("ordinary", ordinary(), HostilePage::Shown);
    add("plain 64 KB", upTo64K("lorem ipsum dolor sit amet "), HostilePage::Shown);
    add("20 tables side by side", QByteArray("<table><tr><td>x</td></tr></table>").repeated(20), HostilePage::Shown);
    for (int rows : {90, 95, 99})
        add("cells near the limit " + QByteArray::number(rows), cells(rows, 10));
    for (int way = 0; way < 6; ++way) {
        add("30 nested, closers hidden " + QByteArray::number(way), nest(30, "x", way), HostilePage::Refused);
        add("side by side, closers hidden " + QByteArray::number(way), upTo64K(nest(1, "x", way), 20),
            way == 5 ? HostilePage::Shown : HostilePage::Either);
        for (const QByteArray &tag : {QByteArray("</ul>"), QByteArray("</sub>"), QByteArray("</blockquote>")})
            add("closer " + tag + " hidden " + QByteArray::number(way),
                QByteArray(tag).replace('/', "").repeated(1).append(hidden(way, tag)).repeated(200));
    }
    for (int depth = 1; depth <= 12; ++depth) {
        add("nest " + QByteArray::number(depth), nest(depth), depth <= 4 ? HostilePage::Shown : HostilePage::Refused);
        add("blocks of nests " + QByteArray::number(depth), upTo64K(nest(depth)));
        add("side-by-side nests " + QByteArray::number(depth), upTo64K(nest(depth) + nest(depth)));
        add("tree " + QByteArray::number(depth), tree(qMin(depth, 11)));
        add("text in a nest " + QByteArray::number(depth), nest(depth, upTo64K("some words to lay out ")));
    }
    for (int n : {10, 100, 1000, 10000, 100000}) {
        const QByteArray size = QByteArray::number(n);
        add("spans " + size, upTo64K("<table>" + QByteArray("<tr><td colspan=" + size + " rowspan=" + size + ">x</td></tr>")
                                     .repeated(qMin(n, 1000)) + "</table>"));
        add("colspan " + size, "<table><tr><td colspan=" + size + ">x</td></tr><tr><td>y</td></tr></table>",
            HostilePage::Shown);
        add("pictures " + size, upTo64K("<img src=x>", n));
        add("sub " + size, upTo64K("<sub>", n) + "x");
        add("inline " + size, upTo64K("<b><i><u><span><a href=x>", n / 5 + 1) + "x");
        add("marks " + size, marked(qMin(n, 30000)));
        add("marked letters " + size, upTo64K(marked(n % 97), n));
        add("word " + size, word(qMin(n, 64000)), HostilePage::Shown);
        add("words " + size, upTo64K(word(n % 500 + 1), n));
        add("cells " + size, cells(qMax(1, qMin(n, 12000) / 10), 10));
        add("rows " + size, upTo64K("<tr>", n).prepend("<table>"));
        add("lists " + size, upTo64K("<ul><li>a", n));
        add("quotes " + size, upTo64K("<blockquote>a", n));
        add("divs " + size, upTo64K("<div>", n) + "x");
        add("paragraphs " + size, upTo64K("<p>x", n));
        add("pre " + size, "<pre>" + upTo64K(word(n % 300 + 1) + "\n", n));
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

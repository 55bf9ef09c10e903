#include "PageSubset.h"
#include "platform/TextLimit.h"

#include <gumbo.h>

#include <cstdlib>
#include <memory>

namespace {

enum class Kind { Dropped, Transparent, Named, Lines, Table, Picture, Void };

struct Shown
{
    Kind kind;
    const char *name = nullptr;
};

// How the pane shows each element: by one of its own few names, by its
// content alone, or not at all (what only a script, a style or a plug-in
// would show, and forms, whose controls the pane does not draw).
Shown shownAs(GumboTag tag)
{
    switch (tag) {
    case GUMBO_TAG_P: return {Kind::Named, "p"};
    case GUMBO_TAG_H1: return {Kind::Named, "h1"};
    case GUMBO_TAG_H2: return {Kind::Named, "h2"};
    case GUMBO_TAG_H3: return {Kind::Named, "h3"};
    case GUMBO_TAG_H4: return {Kind::Named, "h4"};
    case GUMBO_TAG_H5: return {Kind::Named, "h5"};
    case GUMBO_TAG_H6: return {Kind::Named, "h6"};
    case GUMBO_TAG_UL: case GUMBO_TAG_MENU: case GUMBO_TAG_DIR: return {Kind::Named, "ul"};
    case GUMBO_TAG_OL: return {Kind::Named, "ol"};
    case GUMBO_TAG_LI: return {Kind::Named, "li"};
    case GUMBO_TAG_DL: return {Kind::Named, "dl"};
    case GUMBO_TAG_DT: return {Kind::Named, "dt"};
    case GUMBO_TAG_DD: return {Kind::Named, "dd"};
    case GUMBO_TAG_BLOCKQUOTE: return {Kind::Named, "blockquote"};
    case GUMBO_TAG_DIV: case GUMBO_TAG_SECTION: case GUMBO_TAG_ARTICLE: case GUMBO_TAG_MAIN:
    case GUMBO_TAG_HEADER: case GUMBO_TAG_FOOTER: case GUMBO_TAG_NAV: case GUMBO_TAG_ASIDE:
    case GUMBO_TAG_FIGURE: case GUMBO_TAG_FIGCAPTION: case GUMBO_TAG_ADDRESS: case GUMBO_TAG_CENTER:
    case GUMBO_TAG_FORM: case GUMBO_TAG_FIELDSET: case GUMBO_TAG_LEGEND: case GUMBO_TAG_DETAILS:
    case GUMBO_TAG_SUMMARY: case GUMBO_TAG_HGROUP: case GUMBO_TAG_CAPTION: return {Kind::Named, "div"};
    case GUMBO_TAG_PRE: case GUMBO_TAG_LISTING: case GUMBO_TAG_XMP: case GUMBO_TAG_PLAINTEXT:
        return {Kind::Lines, "p"};
    case GUMBO_TAG_A: return {Kind::Named, "a"};
    case GUMBO_TAG_B: case GUMBO_TAG_STRONG: return {Kind::Named, "b"};
    case GUMBO_TAG_I: case GUMBO_TAG_EM: case GUMBO_TAG_CITE: case GUMBO_TAG_VAR: case GUMBO_TAG_DFN:
        return {Kind::Named, "i"};
    case GUMBO_TAG_U: case GUMBO_TAG_INS: return {Kind::Named, "u"};
    case GUMBO_TAG_S: case GUMBO_TAG_STRIKE: case GUMBO_TAG_DEL: return {Kind::Named, "s"};
    case GUMBO_TAG_SUB: return {Kind::Named, "sub"};
    case GUMBO_TAG_SUP: return {Kind::Named, "sup"};
    case GUMBO_TAG_CODE: case GUMBO_TAG_TT: case GUMBO_TAG_KBD: case GUMBO_TAG_SAMP: return {Kind::Named, "code"};
    case GUMBO_TAG_SMALL: return {Kind::Named, "small"};
    case GUMBO_TAG_BIG: return {Kind::Named, "big"};
    case GUMBO_TAG_BR: return {Kind::Void, "br"};
    case GUMBO_TAG_HR: return {Kind::Void, "hr"};
    case GUMBO_TAG_IMG: case GUMBO_TAG_IMAGE: return {Kind::Picture};
    case GUMBO_TAG_TABLE: return {Kind::Table};
    case GUMBO_TAG_HEAD: case GUMBO_TAG_TITLE: case GUMBO_TAG_BASE: case GUMBO_TAG_LINK: case GUMBO_TAG_META:
    case GUMBO_TAG_STYLE: case GUMBO_TAG_SCRIPT: case GUMBO_TAG_TEMPLATE: case GUMBO_TAG_IFRAME:
    case GUMBO_TAG_EMBED: case GUMBO_TAG_OBJECT: case GUMBO_TAG_PARAM: case GUMBO_TAG_VIDEO: case GUMBO_TAG_AUDIO:
    case GUMBO_TAG_SOURCE: case GUMBO_TAG_TRACK: case GUMBO_TAG_CANVAS: case GUMBO_TAG_MAP: case GUMBO_TAG_AREA:
    case GUMBO_TAG_SELECT: case GUMBO_TAG_DATALIST: case GUMBO_TAG_TEXTAREA: case GUMBO_TAG_INPUT:
    case GUMBO_TAG_KEYGEN: case GUMBO_TAG_APPLET: case GUMBO_TAG_BGSOUND: case GUMBO_TAG_FRAME:
    case GUMBO_TAG_NOEMBED: case GUMBO_TAG_COLGROUP: case GUMBO_TAG_COL:
        return {Kind::Dropped};
    default: return {Kind::Transparent};
    }
}

// Joins its text to the line's, as a word's part: the form is cut after a
// block, not inside a line.
bool isInline(const char *name)
{
    static const QList<QByteArrayView> inlines = {"a", "b", "i", "u", "s", "sub", "sup", "code", "small", "big"};
    return inlines.contains(QByteArrayView(name));
}

QString attribute(const GumboNode *node, const char *name)
{
    const GumboAttribute *found = gumbo_get_attribute(&node->v.element.attributes, name);
    return found ? QString::fromUtf8(found->value).trimmed() : QString();
}

// The direction the element gives its text, as written: ltr or rtl.
QString direction(const GumboNode *node)
{
    const QString dir = attribute(node, "dir").toLower();
    return dir == u"ltr" || dir == u"rtl" ? QStringLiteral(" dir=\"%1\"").arg(dir) : QString();
}

// The attributes the pane keeps: a link's address, a block's alignment and
// direction.
QString attributes(const GumboNode *node, const char *name)
{
    if (qstrcmp(name, "a") == 0) {
        const QString href = attribute(node, "href");
        return href.isEmpty() ? QString()
                              : QStringLiteral(" href=\"%1\"").arg(TextLimit::left(href, 2048).toHtmlEscaped());
    }
    const QString align = attribute(node, "align").toLower();
    if (align == u"left" || align == u"center" || align == u"right" || align == u"justify")
        return QStringLiteral(" align=\"%1\"").arg(align) + direction(node);
    return direction(node);
}

bool isElement(const GumboNode *node, GumboTag tag)
{
    return node->type == GUMBO_NODE_ELEMENT && node->v.element.tag == tag;
}

const GumboNode *child(const GumboNode *parent, unsigned int i)
{
    return static_cast<const GumboNode *>(parent->v.element.children.data[i]);
}

// A span as written, cut to [1, limit]; none or zero (to the end) is the limit.
int span(const GumboNode *cell, const char *name, int fallback, int limit)
{
    bool ok = false;
    const int value = attribute(cell, name).toInt(&ok);
    if (!ok)
        return fallback;
    return value <= 0 ? limit : qMin(value, limit);
}

int colspan(const GumboNode *cell)
{
    return span(cell, "colspan", 1, PageWeight::ColumnSpanLimit);
}

int rowspan(const GumboNode *cell, int rowsLeft)
{
    return span(cell, "rowspan", 1, rowsLeft);
}

bool isCell(const GumboNode *node)
{
    return isElement(node, GUMBO_TAG_TD) || isElement(node, GUMBO_TAG_TH);
}

QString titleOf(const GumboNode *root)
{
    for (unsigned int i = 0; i < root->v.element.children.length; ++i) {
        const GumboNode *head = child(root, i);
        for (unsigned int j = 0; isElement(head, GUMBO_TAG_HEAD) && j < head->v.element.children.length; ++j) {
            const GumboNode *title = child(head, j);
            if (isElement(title, GUMBO_TAG_TITLE) && title->v.element.children.length > 0
                && child(title, 0)->type == GUMBO_NODE_TEXT)
                return TextLimit::left(QString::fromUtf8(child(title, 0)->v.text.text).simplified(), 200)
                    .toHtmlEscaped();
        }
    }
    return {};
}

// The parser's memory, counted: a small page can make it copy its open
// formatting elements into every paragraph, gigabytes from 64 KB. Past the
// budget the reader's process ends, the only way out of the parser.
qsizetype parserHolds = 0;

void *allocate(void *, size_t size)
{
    // What the block costs with its header and the allocator's own.
    parserHolds += qsizetype(size + 2 * sizeof(std::max_align_t));
    auto *block = static_cast<qsizetype *>(
        parserHolds > PageSubset::ParserBudget ? nullptr : std::malloc(size + sizeof(std::max_align_t)));
    if (!block)
        std::_Exit(PageSubset::OutOfMemory);
    *block = qsizetype(size);
    return reinterpret_cast<char *>(block) + sizeof(std::max_align_t);
}

void release(void *, void *pointer)
{
    if (!pointer)
        return;
    auto *block = reinterpret_cast<qsizetype *>(static_cast<char *>(pointer) - sizeof(std::max_align_t));
    parserHolds -= *block + qsizetype(2 * sizeof(std::max_align_t));
    std::free(block);
}

// The parser's options: its errors not kept (each would copy the stack of
// open elements, which a deep page makes long), its memory counted.
GumboOptions options()
{
    GumboOptions options = kGumboDefaultOptions;
    options.max_errors = 0;
    options.allocator = allocate;
    options.deallocator = release;
    return options;
}

const GumboOptions kParser = options();

struct OutputDeleter
{
    void operator()(GumboOutput *output) const { gumbo_destroy_output(&kParser, output); }
};

using Parsed = std::unique_ptr<GumboOutput, OutputDeleter>;

Parsed parse(const QByteArray &text)
{
    return Parsed(gumbo_parse_with_options(&kParser, text.constData(), size_t(text.size())));
}

// Where the form may be cut: about every this much of its weight.
constexpr qint64 kCutStep = 512;

// The slots each row adds to its table's grid, as the browser lays it out:
// its rows by its widest row, counting the columns that spans from rows
// above hold.
class Grid
{
public:
    qint64 add(const GumboNode *row, int rowsLeft)
    {
        int column = 0;
        for (unsigned int i = 0; i < row->v.element.children.length; ++i) {
            const GumboNode *c = child(row, i);
            if (!isCell(c))
                continue;
            while (column < m_held.size() && m_held[column] > 0)
                ++column;
            const int across = colspan(c), down = rowspan(c, rowsLeft);
            if (column + across > PageWeight::CellLimit)
                return PageWeight::CellLimit + 1; // past the limit already
            m_held.resize(qMax(m_held.size(), qsizetype(column + across)));
            for (int k = 0; k < across; ++k)
                m_held[column + k] = down;
            column += across;
        }
        for (int &left : m_held)
            left = qMax(0, left - 1);
        const qint64 before = m_rows * m_widest;
        m_widest = qMax(m_widest, qMax(m_held.size(), qsizetype(1)));
        return ++m_rows * m_widest - before;
    }

private:
    QList<int> m_held; // by column: the rows a span from above still holds it
    qint64 m_rows = 0;
    qsizetype m_widest = 0;
};

} // namespace

PageSubset::PageSubset(const QByteArray &page)
{
    // The parser wants valid UTF-8.
    document(parse(QString::fromUtf8(page).toUtf8())->root);
}

void PageSubset::document(const Node *root)
{
    m_html = QStringLiteral("<html><head><title>%1</title></head><body>").arg(titleOf(root));
    markCut(true);
    if (!direction(root).isEmpty())
        element(root, 1); // as a block, for the direction it gives the page
    else
        children(root, 1);
    markCut(true);
}

QString PageSubset::upTo(qsizetype cut) const
{
    const Cut &at = m_cuts.at(cut);
    QString html = m_html.left(at.offset);
    for (qsizetype open = at.open; open >= 0; open = m_opened[open].outer)
        html += QStringLiteral("</%1>").arg(QLatin1String(m_opened[open].name));
    return html + QStringLiteral("</body></html>");
}

void PageSubset::open(const QString &tag, const char *name)
{
    if (!isInline(name))
        m_text.endWord();
    m_html += tag;
    m_opened.append({name, m_open});
    m_open = m_opened.size() - 1;
}

void PageSubset::close(bool cut)
{
    const char *name = m_opened[m_open].name;
    m_html += QStringLiteral("</%1>").arg(QLatin1String(name));
    if (!isInline(name))
        m_text.endWord();
    m_open = m_opened[m_open].outer;
    if (cut)
        markCut();
}

void PageSubset::markCut(bool always)
{
    const qint64 weight = m_html.size() + m_weight.cost();
    if (always || weight - m_cuts.last().weight >= kCutStep)
        m_cuts.append({m_html.size(), weight, m_open});
}

bool PageSubset::node(const Node *node, int depth)
{
    switch (node->type) {
    case GUMBO_NODE_TEXT:
    case GUMBO_NODE_WHITESPACE:
        return text(QString::fromUtf8(node->v.text.text));
    case GUMBO_NODE_ELEMENT:
        return element(node, depth);
    default: // comments, templates, the odd CDATA of a drawing
        return true;
    }
}

bool PageSubset::children(const Node *parent, int depth)
{
    const GumboVector &all = parent->v.element.children;
    for (unsigned int i = 0; i < all.length; ++i)
        if (!node(child(parent, i), depth + 1))
            return false;
    return true;
}

bool PageSubset::element(const Node *node, int depth)
{
    if (!m_weight.enter(depth))
        return false;
    if (node->v.element.tag_namespace != GUMBO_NAMESPACE_HTML)
        return true; // drawings and formulas are not shown
    const GumboTag tag = node->v.element.tag;
    if (tag == GUMBO_TAG_NOFRAMES)
        return noFrames(node, depth);
    if ((tag == GUMBO_TAG_HTML || tag == GUMBO_TAG_BODY) && !direction(node).isEmpty())
        return named(node, "div", depth); // the page's direction, kept for all it holds
    const Shown shown = shownAs(tag);
    // Deeper than the form nests, an element keeps its text alone: the
    // layout's cost grows with the nesting, the text's only with its length.
    const bool tooDeep = depth > PageWeight::DepthLimit
        || (shown.kind == Kind::Table && m_tableDepth >= PageWeight::TableDepthLimit);
    if (tooDeep && shown.kind != Kind::Dropped)
        return children(node, depth);
    switch (shown.kind) {
    case Kind::Dropped: return true;
    case Kind::Transparent: return children(node, depth);
    case Kind::Table: return table(node, depth);
    case Kind::Picture:
        m_text.endWord();
        m_html += QStringLiteral("<img>");
        return m_weight.picture(m_tableDepth);
    case Kind::Void:
        m_text.endWord();
        m_html += QStringLiteral("<%1>").arg(QLatin1String(shown.name));
        return m_weight.element(m_tableDepth);
    case Kind::Lines: {
        const bool outer = m_lineBreaks;
        m_lineBreaks = true;
        const bool ok = named(node, shown.name, depth);
        m_lineBreaks = outer;
        return ok;
    }
    case Kind::Named: break;
    }
    return named(node, shown.name, depth);
}

bool PageSubset::named(const Node *node, const char *name, int depth)
{
    open(QStringLiteral("<%1%2>").arg(QLatin1String(name), attributes(node, name)), name);
    if (!m_weight.element(m_tableDepth) || !children(node, depth))
        return false;
    close(!isInline(name));
    return true;
}

// What a page gives a browser without frames, which the parser keeps as
// raw text: read as HTML in its turn (once: a frameless part inside it
// stays text).
bool PageSubset::noFrames(const Node *node, int depth)
{
    if (m_inNoFrames || node->v.element.children.length == 0 || child(node, 0)->type != GUMBO_NODE_TEXT)
        return children(node, depth);
    const Parsed inner = parse(QByteArray(child(node, 0)->v.text.text));
    m_inNoFrames = true;
    const bool ok = children(inner->root, depth);
    m_inNoFrames = false;
    return ok;
}

// A long text is written in pieces, the form cut between them; a short one
// is cut after the block it is in.
bool PageSubset::text(const QString &text)
{
    for (qsizetype from = 0; from < text.size();) {
        qsizetype to = qMin(text.size(), from + kCutStep);
        if (to < text.size() && text[to].isLowSurrogate())
            ++to;
        const qsizetype characters = m_text.characters(), marks = m_text.marks();
        m_text.append(m_html, QStringView(text).sliced(from, to - from), m_lineBreaks);
        if (!m_weight.text(m_text.characters() - characters, m_text.marks() - marks, m_tableDepth))
            return false;
        if (to < text.size())
            markCut();
        from = to;
    }
    return true;
}

// A table is its rows, in its body, head or foot; its caption goes before
// it. The parser has already moved what stood between the rows out of it.
bool PageSubset::table(const Node *node, int depth)
{
    QList<const Node *> found;
    for (unsigned int i = 0; i < node->v.element.children.length; ++i) {
        const Node *part = child(node, i);
        if (isElement(part, GUMBO_TAG_CAPTION) && !element(part, depth + 1))
            return false;
        if (isElement(part, GUMBO_TAG_TR))
            found << part;
        const bool group = isElement(part, GUMBO_TAG_TBODY) || isElement(part, GUMBO_TAG_THEAD)
            || isElement(part, GUMBO_TAG_TFOOT);
        for (unsigned int j = 0; group && j < part->v.element.children.length; ++j)
            if (isElement(child(part, j), GUMBO_TAG_TR))
                found << child(part, j);
    }
    ++m_tableDepth;
    const bool ok = found.isEmpty() || rows(found, attribute(node, "border"), depth);
    --m_tableDepth;
    return ok;
}

// Rows while the tally takes them: a table past it is cut after a row.
bool PageSubset::rows(const QList<const Node *> &rows, const QString &border, int depth)
{
    if (!m_weight.enter(depth) || !m_weight.table(m_tableDepth))
        return false;
    // What comes before a table is shown though the table's first row
    // (a row of thousands of cells, say) does not lay out in time.
    markCut(true);
    open(border.isEmpty() || border == u"0" ? QStringLiteral("<table>") : QStringLiteral("<table border=\"1\">"),
         "table");
    Grid grid;
    for (int r = 0; r < rows.size(); ++r) {
        if (!m_weight.row(grid.add(rows[r], int(rows.size()) - r), m_tableDepth))
            return false;
        open(QStringLiteral("<tr>"), "tr");
        for (unsigned int i = 0; i < rows[r]->v.element.children.length; ++i) {
            const Node *c = child(rows[r], i);
            if (isCell(c) && !cell(c, colspan(c), rowspan(c, int(rows.size()) - r), depth + 2))
                return false;
        }
        close();
    }
    close();
    return true;
}

bool PageSubset::cell(const Node *cell, int colspan, int rowspan, int depth)
{
    const char *name = isElement(cell, GUMBO_TAG_TH) ? "th" : "td";
    open(QStringLiteral("<%1 colspan=\"%2\" rowspan=\"%3\"%4>")
             .arg(QLatin1String(name)).arg(colspan).arg(rowspan).arg(attributes(cell, name)),
         name);
    if (!m_weight.enter(depth) || !children(cell, depth))
        return false;
    close(false); // a row is cut after it, not between its cells
    return true;
}

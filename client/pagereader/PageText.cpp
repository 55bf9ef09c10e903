#include "PageText.h"

#include "PageWeight.h"

namespace {

constexpr char16_t kWrapHere = 0x200B; // a zero-width space, where a line may wrap

// Marks, and the format characters that join them into one letter.
bool joinsLetter(char32_t c)
{
    switch (QChar::category(c)) {
    case QChar::Mark_NonSpacing:
    case QChar::Mark_SpacingCombining:
    case QChar::Mark_Enclosing:
    case QChar::Other_Format:
        return c != kWrapHere;
    default:
        return false;
    }
}

// Spaces that keep their words together are part of a word.
bool endsWord(char32_t c)
{
    return c == kWrapHere || (QChar::isSpace(c) && c != 0xA0 && c != 0x2007 && c != 0x202F);
}

} // namespace

void PageText::append(QString &html, QStringView text, bool lineBreaks)
{
    for (qsizetype i = 0; i < text.size(); ++i) {
        char32_t c = text[i].unicode();
        if (QChar::isHighSurrogate(c) && i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
            c = QChar::surrogateToUcs4(text[i].unicode(), text[i + 1].unicode());
            ++i;
        }
        write(html, c, lineBreaks);
    }
}

void PageText::write(QString &html, char32_t c, bool lineBreaks)
{
    if (joinsLetter(c)) {
        if (m_markRun++ < PageWeight::MarkLimit) {
            html += QStringView(QChar::fromUcs4(c));
            ++m_marks;
        }
        return;
    }
    m_markRun = 0;
    if (c < 0x20 && c != '\t' && c != '\n' && c != '\r')
        return;
    if (endsWord(c)) {
        m_word = 0;
        if (lineBreaks && c == '\n')
            html += QStringLiteral("<br>");
        else
            html += c == kWrapHere ? QChar(kWrapHere) : QChar(u' ');
    } else {
        if (++m_word > PageWeight::WordLimit) {
            html += QChar(kWrapHere);
            m_word = 1;
        }
        if (c == '<')
            html += QStringLiteral("&lt;");
        else if (c == '>')
            html += QStringLiteral("&gt;");
        else if (c == '&')
            html += QStringLiteral("&amp;");
        else
            html += QStringView(QChar::fromUcs4(c));
    }
    ++m_characters;
}

#pragma once

#include <QString>

// A page's text as the text pane writes it into its own form of the page:
// escaped, a word longer than the limit broken where the browser may wrap
// it, a letter's run of marks cut, so no stretch of text costs the layout
// more than its length. The runs carry on across the page's inline
// elements, as the browser joins their text into one word, and end where a
// block, a cell, a line break or a picture ends the line's word anyway.
class PageText
{
public:
    // Appends text to html; lineBreaks: the text's line ends are kept.
    void append(QString &html, QStringView text, bool lineBreaks);
    // The word under way ends here: the next text starts a word of its own.
    void endWord() { m_word = 0, m_markRun = 0; }
    // What was written so far: characters, and marks beside their letters.
    qsizetype characters() const { return m_characters; }
    qsizetype marks() const { return m_marks; }

private:
    void write(QString &html, char32_t c, bool lineBreaks);

    int m_word = 0;
    int m_markRun = 0;
    qsizetype m_characters = 0;
    qsizetype m_marks = 0;
};

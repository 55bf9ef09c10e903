#include "OutsideText.h"

#include <QLabel>
#include <QTextDocument>

namespace {

// White space and line breaks kept as the text has them.
const QString kParagraph = QStringLiteral("<p style=\"white-space:pre-wrap\">");
const QString kParagraphEnd = QStringLiteral("</p>");

} // namespace

QLabel *OutsideText::label(const QString &text, QWidget *parent)
{
    auto *label = new QLabel(parent);
    show(label, text);
    return label;
}

void OutsideText::show(QLabel *label, const QString &text)
{
    label->setTextFormat(Qt::PlainText);
    label->setText(text);
}

QString OutsideText::toolTip(const QString &text)
{
    if (!Qt::mightBeRichText(text))
        return text;
    return kParagraph + text.toHtmlEscaped() + kParagraphEnd;
}

bool OutsideText::isEscapedToolTip(const QString &text)
{
    return text.startsWith(kParagraph) && text.endsWith(kParagraphEnd) &&
        !QStringView(text)
             .sliced(kParagraph.size(), text.size() - kParagraph.size() - kParagraphEnd.size())
             .contains(u'<');
}

QString OutsideText::title(const QString &text)
{
    QString title = text;
    return title.replace(QStringLiteral("[*]"), QStringLiteral("[*][*]"));
}

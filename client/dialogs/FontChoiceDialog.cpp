#include "FontChoiceDialog.h"

#include <QCheckBox>
#include <QColorDialog>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFontComboBox>
#include <QFontDatabase>
#include <QFormLayout>
#include <QIntValidator>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace {

const int kSizes[] = {6, 7, 8, 9, 10, 11, 12, 14, 16, 18, 20, 22, 24, 26, 28, 32, 36, 48, 72};

QCheckBox *checkBox(const QString &name, const QString &text, bool checked, QWidget *parent)
{
    auto *box = new QCheckBox(text, parent);
    box->setObjectName(name);
    box->setChecked(checked);
    return box;
}

} // namespace

FontChoiceDialog::FontChoiceDialog(const ICommonDialogBackend::FontRequest &request, QWidget *owner)
    : QDialog(owner), m_request(request)
{
    setWindowTitle(QStringLiteral("Font"));
    const QFont &font = request.font;
    m_family = new QFontComboBox(this);
    m_family->setObjectName(QStringLiteral("cboFamily"));
    m_family->setCurrentFont(font);
    m_size = new QComboBox(this);
    m_size->setObjectName(QStringLiteral("cboSize"));
    m_size->setEditable(true);
    m_size->setValidator(new QIntValidator(1, 999, m_size));
    for (int size : kSizes) {
        if (clampedSize(size, request.minSize, request.maxSize) == size)
            m_size->addItem(QString::number(size));
    }
    m_size->setEditText(QString::number(clampedSize(font.pointSize(), request.minSize, request.maxSize)));
    m_bold = checkBox(QStringLiteral("chkBold"), QStringLiteral("Bold"), font.bold(), this);
    m_italic = checkBox(QStringLiteral("chkItalic"), QStringLiteral("Italic"), font.italic(), this);
    m_underline = checkBox(QStringLiteral("chkUnderline"), QStringLiteral("Underline"), font.underline(), this);
    m_strikeout = checkBox(QStringLiteral("chkStrikeout"), QStringLiteral("Strikeout"), font.strikeOut(), this);
    m_colour = new QPushButton(QStringLiteral("Colour..."), this);
    m_colour->setObjectName(QStringLiteral("cmdColour"));
    m_sample = new QLabel(QStringLiteral("AaBbYyZz 0123"), this);
    m_sample->setObjectName(QStringLiteral("lblSample"));
    m_sample->setMinimumHeight(60);
    m_sample->setAlignment(Qt::AlignCenter);
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);

    auto *layout = new QFormLayout(this);
    layout->addRow(QStringLiteral("Font:"), m_family);
    layout->addRow(QStringLiteral("Size:"), m_size);
    layout->addRow(QString(), m_bold);
    layout->addRow(QString(), m_italic);
    for (QWidget *effect : {static_cast<QWidget *>(m_underline), static_cast<QWidget *>(m_strikeout),
                            static_cast<QWidget *>(m_colour)}) {
        layout->addRow(QString(), effect);
        effect->setVisible(request.effects);
    }
    layout->addRow(m_sample);
    layout->addRow(buttons);

    connect(m_family, &QFontComboBox::currentFontChanged, this, &FontChoiceDialog::showSample);
    connect(m_size, &QComboBox::currentTextChanged, this, &FontChoiceDialog::showSample);
    connect(m_size->lineEdit(), &QLineEdit::textEdited, this, &FontChoiceDialog::clampTypedSize);
    connect(m_size->lineEdit(), &QLineEdit::editingFinished, this, &FontChoiceDialog::clampFinishedSize);
    for (QCheckBox *box : {m_bold, m_italic, m_underline, m_strikeout})
        connect(box, &QCheckBox::toggled, this, &FontChoiceDialog::showSample);
    connect(m_colour, &QPushButton::clicked, this, &FontChoiceDialog::pickColour);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    showSample();
}

int FontChoiceDialog::clampedSize(int size, int minSize, int maxSize)
{
    if (minSize > 0 && size < minSize)
        return minSize;
    if (maxSize > 0 && size > maxSize)
        return maxSize;
    return size;
}

ICommonDialogBackend::FontRequest FontChoiceDialog::choice() const
{
    ICommonDialogBackend::FontRequest chosen = m_request;
    chosen.font = m_family->currentFont();
    // The box shows an alias ("Sans Serif") as the family it stands for, and
    // choosing that entry changes nothing in its font: the entry shown is
    // the choice.
    if (QFontDatabase::hasFamily(m_family->currentText()))
        chosen.font.setFamily(m_family->currentText());
    int size = m_size->currentText().toInt();
    if (size <= 0)
        size = m_request.font.pointSize() > 0 ? m_request.font.pointSize() : 10;
    chosen.font.setPointSize(clampedSize(size, m_request.minSize, m_request.maxSize));
    chosen.font.setBold(m_bold->isChecked());
    chosen.font.setItalic(m_italic->isChecked());
    chosen.font.setUnderline(m_request.effects && m_underline->isChecked());
    chosen.font.setStrikeOut(m_request.effects && m_strikeout->isChecked());
    return chosen;
}

void FontChoiceDialog::clampTypedSize(const QString &typed)
{
    // More digits only make a number larger, so one above the limit is
    // brought down at once; one below it may still be on its way up.
    const int size = typed.toInt();
    if (m_request.maxSize > 0 && size > m_request.maxSize)
        m_size->setEditText(QString::number(m_request.maxSize));
}

void FontChoiceDialog::clampFinishedSize()
{
    const int size = m_size->currentText().toInt();
    const int clamped = clampedSize(size, m_request.minSize, m_request.maxSize);
    if (size > 0 && clamped != size)
        m_size->setEditText(QString::number(clamped));
}

void FontChoiceDialog::showSample()
{
    const ICommonDialogBackend::FontRequest chosen = choice();
    m_sample->setFont(chosen.font);
    QPalette palette = m_sample->palette();
    palette.setColor(QPalette::WindowText, chosen.colour.isValid() ? chosen.colour : QColor(Qt::black));
    m_sample->setPalette(palette);
}

void FontChoiceDialog::pickColour()
{
    const QColor colour = QColorDialog::getColor(m_request.colour, this, QStringLiteral("Colour"));
    if (!colour.isValid())
        return;
    m_request.colour = colour;
    showSample();
}

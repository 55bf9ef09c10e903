#include "frmError.h"

#include "foundation/IErrorWindow.h"
#include "OutsideText.h"

#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStyle>

#include <algorithm>

namespace {
constexpr int kTwipsPerPixel = 15;

QRect twipsRect(int left, int top, int width, int height)
{
    return QRect(left / kTwipsPerPixel, top / kTwipsPerPixel, width / kTwipsPerPixel, height / kTwipsPerPixel);
}

// A caption in this platform's font can need more room than the twips gave.
// The buttons by the window's right edge grow to the left, away from it.
void fitText(QPushButton *button, bool byRightEdge)
{
    const QRect design = button->geometry();
    const int width = std::max(design.width(), button->sizeHint().width());
    button->setGeometry(byRightEdge ? design.right() + 1 - width : design.left(), design.top(), width,
                        design.height());
}
}

frmError::frmError(QWidget *parent)
    : QDialog(parent)
{
    setWindowTitle(QStringLiteral("Error"));

    auto *image = new QLabel(this);
    image->setPixmap(style()->standardIcon(QStyle::SP_MessageBoxCritical).pixmap(32, 32));
    image->setGeometry(twipsRect(120, 210, 480, 480));

    lblUserMsg = OutsideText::label(QString(), this);
    lblUserMsg->setWordWrap(true);
    lblUserMsg->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    lblUserMsg->setGeometry(twipsRect(780, 210, 3675, 795));

    cmdContinue = new QPushButton(QStringLiteral("Continue"), this);
    cmdContinue->setGeometry(twipsRect(5580, 210, 975, 375));
    cmdContinue->setDefault(true);
    cmdExit = new QPushButton(QStringLiteral("Exit"), this);
    cmdExit->setGeometry(twipsRect(5580, 660, 975, 375));
    cmdDetails = new QPushButton(QStringLiteral("View Details >>"), this);
    cmdDetails->setGeometry(twipsRect(780, 1200, 1395, 375));
    fitText(cmdContinue, true);
    fitText(cmdExit, true);
    fitText(cmdDetails, false);

    txtDetails = new QPlainTextEdit(this);
    txtDetails->setReadOnly(true);
    txtDetails->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    txtDetails->setStyleSheet(QStringLiteral("QPlainTextEdit { background: #c0c0c0; }"));
    txtDetails->setGeometry(twipsRect(720, 1680, 5865, 2235));

    connect(cmdContinue, &QPushButton::clicked, this, &frmError::cmdContinue_Click);
    connect(cmdExit, &QPushButton::clicked, this, &frmError::cmdExit_Click);
    connect(cmdDetails, &QPushButton::clicked, this, &frmError::cmdDetails_Click);

    setHeightTwips(kShortHeightTwips);
}

void frmError::setUserMessage(const QString &text)
{
    lblUserMsg->setText(text);
}

void frmError::setDetails(const QString &text)
{
    txtDetails->setPlainText(text);
}

int frmError::heightTwips() const
{
    return height() * kTwipsPerPixel + kFrameHeightTwips;
}

void frmError::cmdContinue_Click()
{
    m_answer = IErrorWindow::AnswerContinue;
    hide();
}

void frmError::cmdExit_Click()
{
    m_answer = IErrorWindow::AnswerExit;
    hide();
}

void frmError::cmdDetails_Click()
{
    m_detailsShown = !m_detailsShown;
    setHeightTwips(m_detailsShown ? kTallHeightTwips : kShortHeightTwips);
    cmdDetails->setText(m_detailsShown ? QStringLiteral("Hide Details") + QStringLiteral(" <<")
                                       : QStringLiteral("View Details >>"));
}

void frmError::setHeightTwips(int twips)
{
    setFixedSize(kWidthTwips / kTwipsPerPixel, (twips - kFrameHeightTwips) / kTwipsPerPixel);
}

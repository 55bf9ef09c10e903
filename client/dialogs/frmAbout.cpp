#include "frmAbout.h"

#include "foundation/MCIFunctions.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLinearGradient>
#include <QPainter>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

// The program's picture: a board with a name on it and the three lights of
// being in, out and in a meeting.
QPixmap picture()
{
    QPixmap pixmap(120, 150);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    QLinearGradient sky(0, 0, 0, 150);
    sky.setColorAt(0, QColor(0x2a, 0x5d, 0x9f));
    sky.setColorAt(1, QColor(0x12, 0x2c, 0x52));
    painter.setBrush(sky);
    painter.setPen(Qt::NoPen);
    painter.drawRoundedRect(QRectF(4, 4, 112, 142), 12, 12);
    painter.setPen(Qt::white);
    QFont letter(QStringLiteral("DejaVu Serif"), 44, QFont::Bold);
    painter.setFont(letter);
    painter.drawText(QRectF(4, 8, 112, 80), Qt::AlignCenter, QStringLiteral("T"));
    const QColor lights[] = {QColor(0x3c, 0xb3, 0x4a), QColor(0xd9, 0x3b, 0x3b), QColor(0xf0, 0xb4, 0x29)};
    for (int i = 0; i < 3; ++i) {
        painter.setBrush(lights[i]);
        painter.setPen(QPen(Qt::white, 1.5));
        painter.drawEllipse(QPointF(32 + i * 28, 112), 9, 9);
    }
    return pixmap;
}

QLabel *notice(const QString &text, QWidget *parent)
{
    auto *label = new QLabel(text, parent);
    label->setObjectName(QStringLiteral("lblDisclaimer"));
    label->setWordWrap(true);
    return label;
}

} // namespace

frmAbout::frmAbout(QWidget *owner)
    : QDialog(owner)
{
    setWindowTitle(GetResString(138) + u' ' + ApplicationTitle());

    auto *image = new QLabel(this);
    image->setObjectName(QStringLiteral("Image1"));
    image->setPixmap(picture());
    lblVersion = new QLabel(GetResString(217) + QStringLiteral(" %1.%2.%3 (")
                                .arg(TESSALY_VERSION_MAJOR).arg(TESSALY_VERSION_MINOR).arg(TESSALY_VERSION_REVISION)
                                + GetResString(141) + u')',
                            this);
    lblVersion->setObjectName(QStringLiteral("lblVersion"));
    lblVersion->setFont(QFont(QStringLiteral("Arial"), 11, QFont::Bold));

    auto *frame = new QGroupBox(this);
    frame->setObjectName(QStringLiteral("Frame1"));
    auto *notices = new QVBoxLayout(frame);
    notices->addWidget(notice(QStringLiteral("Tessaly shows who is in the office, who is out, and when they will "
                                             "be back."), frame));
    notices->addWidget(notice(QStringLiteral("This program is provided as it is, without warranty of any kind."),
                              frame));
    notices->addWidget(notice(QStringLiteral("Questions and suggestions: please ask your system administrator."),
                              frame));

    auto *cmdOK = new QPushButton(GetResString(175), this);
    cmdOK->setObjectName(QStringLiteral("cmdOK"));
    cmdOK->setDefault(true);
    connect(cmdOK, &QPushButton::clicked, this, &QDialog::accept);

    auto *text = new QVBoxLayout;
    text->addWidget(lblVersion);
    text->addWidget(frame, 1);
    text->addWidget(cmdOK, 0, Qt::AlignRight);
    auto *layout = new QHBoxLayout(this);
    layout->addWidget(image, 0, Qt::AlignTop);
    layout->addLayout(text, 1);
    setMinimumWidth(460);
}

void frmAbout::display(QWidget *owner)
{
    auto *about = new frmAbout(owner);
    about->setAttribute(Qt::WA_DeleteOnClose);
    about->open();
}

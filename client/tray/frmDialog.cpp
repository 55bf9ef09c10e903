#include "frmDialog.h"

#include "NoticePlacement.h"
#include "NoticeStack.h"
#include "SkipTaskbar.h"
#include "foundation/BuiltInStatus.h"
#include "foundation/Globals.h"
#include "foundation/MErrorHandler.h"
#include "platform/AppError.h"
#include "platform/Clock.h"
#include "status/CClientHnd.h"
#include "dialogs/OutsideText.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPropertyAnimation>
#include <QPushButton>
#include <QScrollArea>
#include <QVBoxLayout>

namespace {

constexpr int SlideMilliseconds = 400;
// 2835 by 2280 twips, a little wider so that a title and the close box share a line.
constexpr QSize NoticeSize(230, 152);

QLabel *plainLabel(const QString &name)
{
    QLabel *label = OutsideText::label();
    label->setObjectName(name);
    label->setWordWrap(true);
    return label;
}

QPushButton *button(const QString &name, const QString &text)
{
    auto *result = new QPushButton(text);
    result->setObjectName(name);
    result->setFocusPolicy(Qt::NoFocus);
    if (text.size() == 1) {
        result->setFlat(true);
        result->setFixedWidth(22);
    }
    return result;
}

} // namespace

frmDialog::frmDialog()
    : QWidget(nullptr, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint | Qt::WindowDoesNotAcceptFocus),
      lblTitle(plainLabel(QStringLiteral("lblTitle"))), lblFrom(plainLabel(QStringLiteral("lblFrom"))),
      lblMessage(plainLabel(QStringLiteral("lblMessage"))),
      imgCheckIn(button(QStringLiteral("imgCheckIn"), QStringLiteral("Check In"))),
      imgJoinChat(button(QStringLiteral("imgJoinChat"), QStringLiteral("Join"))),
      imgClose(button(QStringLiteral("imgClose"), QStringLiteral("\u00d7"))),
      m_slide(new QPropertyAnimation(this, "pos", this))
{
    setObjectName(QStringLiteral("frmDialog"));
    setAttribute(Qt::WA_ShowWithoutActivating);
    setAttribute(Qt::WA_StyledBackground);
    setFocusPolicy(Qt::NoFocus);
    setFixedSize(NoticeSize);
    setAutoFillBackground(true);
    setStyleSheet(QStringLiteral("frmDialog { background: #fdf6d8; border: 1px solid #8a7a40; }"
                                 "QScrollArea, QScrollArea > QWidget > QWidget { background: transparent; }"));
    QFont titleFont(QStringLiteral("Tahoma"));
    titleFont.setBold(true);
    lblTitle->setFont(titleFont);
    setTitle(QStringLiteral("Qel Instant Message"));
    lblFrom->hide();
    imgClose->setToolTip(QStringLiteral("Close"));
    imgCheckIn->hide();
    imgJoinChat->hide();

    auto *scroll = new QScrollArea;
    scroll->setObjectName(QStringLiteral("messageArea"));
    scroll->setWidget(lblMessage);
    scroll->setWidgetResizable(true);
    scroll->setFrameShape(QFrame::NoFrame);
    scroll->setFocusPolicy(Qt::NoFocus);
    scroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    lblMessage->setAlignment(Qt::AlignLeft | Qt::AlignTop);

    auto *top = new QHBoxLayout;
    top->addWidget(lblTitle, 1);
    top->addWidget(imgClose);
    auto *bottom = new QHBoxLayout;
    bottom->addStretch(1);
    bottom->addWidget(imgCheckIn);
    bottom->addWidget(imgJoinChat);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(6, 4, 6, 4);
    layout->setSpacing(2);
    layout->addLayout(top);
    layout->addWidget(lblFrom);
    layout->addWidget(scroll, 1);
    layout->addLayout(bottom);

    connect(imgClose, &QPushButton::clicked, this, &frmDialog::undisplay);
    connect(imgCheckIn, &QPushButton::clicked, this, &frmDialog::imgCheckIn_Click);
    connect(imgJoinChat, &QPushButton::clicked, this, &frmDialog::imgJoinChat_Click);
    connect(m_slide, &QPropertyAnimation::finished, this, [this] {
        if (m_leaving)
            deleteLater();
    });
}

void frmDialog::setAlwaysOnTop()
{
    // Every notice is made to stay on top; this brings it above the others.
    raise();
}

void frmDialog::setTitle(const QString &title)
{
    lblTitle->setText(title);
    setWindowTitle(OutsideText::title(title));
}

void frmDialog::setMessage(const QString &message)
{
    lblMessage->setText(message);
}

void frmDialog::setFrom(const QString &from)
{
    lblFrom->setText(from);
    lblFrom->setVisible(!from.isEmpty());
}

void frmDialog::setJoinChat(const QString &roomId, std::function<void(const QString &)> joinChat)
{
    m_room = roomId;
    m_joinChat = std::move(joinChat);
    imgJoinChat->show();
}

void frmDialog::setCheckIn()
{
    imgCheckIn->show();
}

void frmDialog::display()
{
    NoticeStack &stack = NoticeStack::instance();
    const int slot = stack.take(this);
    const NoticePlacement::Path path =
        NoticePlacement::path(stack.availableGeometry(), stack.trayIconGeometry(), size(), slot);
    m_outside = path.from;
    move(path.from);
    if (!isVisible())
        SkipTaskbar(this);
    show();
    slideTo(path.to);
}

void frmDialog::undisplay()
{
    if (m_leaving)
        return;
    m_leaving = true;
    if (!isVisible()) {
        deleteLater();
        return;
    }
    slideTo(m_outside);
}

void frmDialog::slideTo(const QPoint &target)
{
    m_slide->stop();
    m_slide->setDuration(SlideMilliseconds);
    m_slide->setStartValue(pos());
    m_slide->setEndValue(target);
    m_slide->start();
}

void frmDialog::imgCheckIn_Click()
{
    // Sets the signed-in user In; should that fail the offer stays, so
    // he can try again.
    try {
        if (!g_oClientHnd)
            throw AppError(-1, QStringLiteral("frmDialog.imgCheckIn_Click"), QStringLiteral("No status engine"));
        double now = Clock::nowDays();
        double dueBack = now;
        g_oClientHnd->UpdateStatus(g_lUserID, BuiltInStatus::In, QString(), now, dueBack, false, false);
        undisplay();
    } catch (const AppError &e) {
        WriteErrorLog(e.number(), e.description(), QStringLiteral("frmDialog.imgCheckIn_Click\r\n") + e.source());
    }
}

void frmDialog::imgJoinChat_Click()
{
    if (m_joinChat)
        m_joinChat(m_room);
}

#include "frmStatusChange.h"

#include "CClientAdmin.h"
#include "datetime/ucDateTime.h"
#include "dialogs/TitleRoom.h"
#include "foundation/BuiltInStatus.h"
#include "foundation/Globals.h"
#include "foundation/IPrompt.h"
#include "foundation/MCIFunctions.h"
#include "foundation/MErrorHandler.h"
#include "foundation/Steps.h"
#include "platform/Clock.h"
#include "status/CClientHnd.h"
#include "status/CClientNote.h"
#include "status/IconArt.h"
#include "dialogs/OutsideText.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>
#include <cmath>

namespace {

// A computed time goes into both boxes, so that one past midnight shows
// tomorrow's date.
void setDateTime(ucDateTime *box, double value)
{
    if (value == 0) {
        box->clear();
        return;
    }
    box->setDateValue(std::floor(value));
    box->setTimeValue(value);
}

QToolButton *spinButton(QWidget *parent, const QString &name, Qt::ArrowType arrow)
{
    auto *button = new QToolButton(parent);
    button->setObjectName(name);
    button->setArrowType(arrow);
    button->setAutoRepeat(true);
    button->setFixedSize(18, 12);
    return button;
}

QWidget *spinPair(QWidget *parent, const QString &name, const std::function<void(int)> &clicked)
{
    auto *box = new QWidget(parent);
    box->setObjectName(name);
    auto *layout = new QVBoxLayout(box);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    QToolButton *up = spinButton(box, name + QStringLiteral("Up"), Qt::UpArrow);
    QToolButton *down = spinButton(box, name + QStringLiteral("Down"), Qt::DownArrow);
    layout->addWidget(up);
    layout->addWidget(down);
    QObject::connect(up, &QToolButton::clicked, box, [clicked] { clicked(1); });
    QObject::connect(down, &QToolButton::clicked, box, [clicked] { clicked(-1); });
    return box;
}

QString menuText(const QString &text)
{
    return QString(text).replace(u'&', QStringLiteral("&&"));
}

} // namespace

frmStatusChange::frmStatusChange(QWidget *parent)
    : QDialog(parent), Toolbar1(new QToolBar(this)),
      lblStatus(OutsideText::label(QStringLiteral("Set Status to..."), this)), lblNote(new QLabel(this)),
      txtNote(new QLineEdit(this)), lblOut(new QLabel(this)), lblDueBack(new QLabel(this)),
      StartTime(new ucDateTime(this)), EndTime(new ucDateTime(this)), chkAddToOutLook(new QCheckBox(this)),
      chkInviteAttendees(new QCheckBox(this)), cmdOK(new QPushButton(this)), cmdCancel(new QPushButton(this))
{
    setObjectName(QStringLiteral("frmStatusChange"));
    setModal(true);
    Toolbar1->setObjectName(QStringLiteral("Toolbar1"));
    lblStatus->setObjectName(QStringLiteral("lblStatus"));
    txtNote->setObjectName(QStringLiteral("txtNote"));
    StartTime->setObjectName(QStringLiteral("StartTime"));
    EndTime->setObjectName(QStringLiteral("EndTime"));
    EndTime->setTimeStyle(QStringLiteral("1"));
    chkAddToOutLook->setObjectName(QStringLiteral("chkAddToOutLook"));
    chkInviteAttendees->setObjectName(QStringLiteral("chkInviteAttendees"));
    chkInviteAttendees->setEnabled(false);
    cmdOK->setObjectName(QStringLiteral("cmdOK"));
    cmdCancel->setObjectName(QStringLiteral("cmdCancel"));
    cmdOK->setDefault(true);

    auto *image = new QLabel(this);
    image->setObjectName(QStringLiteral("Image1"));
    image->setPixmap(IconArt::picture(QStringLiteral("INF"), 32));
    image->setAlignment(Qt::AlignTop);

    auto *times = new QGridLayout;
    times->addWidget(lblNote, 0, 0);
    times->addWidget(txtNote, 0, 1, 1, 2);
    times->addWidget(lblOut, 1, 0);
    times->addWidget(StartTime, 1, 1);
    times->addWidget(spinPair(this, QStringLiteral("IncStartDate"), [this](int clicks) { spinStart(clicks); }), 1, 2);
    times->addWidget(lblDueBack, 2, 0);
    times->addWidget(EndTime, 2, 1);
    times->addWidget(spinPair(this, QStringLiteral("IncEndDate"), [this](int clicks) { spinEnd(clicks); }), 2, 2);
    times->setColumnStretch(1, 1);

    auto *fields = new QVBoxLayout;
    fields->addWidget(lblStatus);
    fields->addLayout(times);
    fields->addWidget(chkAddToOutLook);
    fields->addWidget(chkInviteAttendees);
    auto *body = new QHBoxLayout;
    body->addWidget(image);
    body->addLayout(fields, 1);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(cmdOK);
    buttons->addWidget(cmdCancel);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(Toolbar1);
    layout->addLayout(body);
    layout->addLayout(buttons);

    connect(cmdOK, &QPushButton::clicked, this, &frmStatusChange::okClicked);
    connect(cmdCancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(chkAddToOutLook, &QCheckBox::toggled, this, [this](bool ticked) {
        chkInviteAttendees->setEnabled(ticked);
        if (!ticked)
            chkInviteAttendees->setChecked(false);
    });
    connect(StartTime, &ucDateTime::TimeChange, this, [this](double time) { EndTime->setRelativeTimeValue(time); });

    const double now = Clock::nowDays();
    StartTime->setDateValue(std::floor(now));
    StartTime->setTimeValue(now);
    setDateTime(EndTime, StatusProposal::initialDueBack(now));
    buildToolbar();
    populateStrings();
    // The caller names the user (or "multiple staff members") after this.
    TitleRoom::keep(this);
}

void frmStatusChange::buildToolbar()
{
    Toolbar1->setIconSize(QSize(32, 32));
    const QList<const BuiltInStatus::Row *> rows = BuiltInStatus::buttons();
    for (int i = 0; i < rows.size(); ++i) {
        const QString key = rows[i]->code;
        auto *button = new QToolButton(Toolbar1);
        button->setObjectName(key);
        button->setIcon(IconArt::picture(key, 32));
        button->setAutoRaise(true);
        connect(button, &QToolButton::clicked, this, [this, i] { statusButtonClicked(i); });
        m_buttons.insert(key, button);
        Toolbar1->addWidget(button)->setObjectName(key + QStringLiteral("Action"));
    }
    for (const BuiltInStatus::Row *state : BuiltInStatus::meetingStates())
        addMenuItem(BuiltInStatus::Meeting, state->code, state->menuText);
    for (const CStatus &custom : std::as_const(g_colCustomStatus)) {
        const QString under = custom.CustomType == u'I'   ? QString(BuiltInStatus::In)
                              : custom.CustomType == u'O' ? QString(BuiltInStatus::Out)
                                                          : QString(BuiltInStatus::Meeting);
        addMenuItem(under, custom.StatusCode, menuText(custom.Status));
    }
}

void frmStatusChange::addMenuItem(const QString &buttonKey, const QString &code, const QString &text)
{
    QToolButton *button = m_buttons.value(buttonKey);
    if (!button)
        return;
    // Only buttons with items get a menu: an empty drop-down would be a fault.
    if (!button->menu()) {
        button->setMenu(new QMenu(button));
        button->setPopupMode(QToolButton::MenuButtonPopup);
    }
    QAction *item = button->menu()->addAction(text);
    item->setObjectName(code);
    connect(item, &QAction::triggered, this, [this, code] { statusMenuClicked(code); });
}

void frmStatusChange::populateStrings()
{
    setWindowTitle(GetResString(128));
    cmdCancel->setText(GetResString(176));
    cmdOK->setText(GetResString(175));
    lblNote->setText(GetResString(157));
    lblOut->setText(GetResString(158));
    lblDueBack->setText(GetResString(159));
    chkInviteAttendees->setText(GetResString(294));
    chkAddToOutLook->setText(GetResString(293));
    for (const BuiltInStatus::Row *row : BuiltInStatus::buttons())
        if (QToolButton *button = m_buttons.value(row->code))
            button->setToolTip(GetResString(row->captionId));
}

void frmStatusChange::statusButtonClicked(int index)
{
    const QList<const BuiltInStatus::Row *> rows = BuiltInStatus::buttons();
    if (index < 0 || index >= rows.size())
        return;
    StatusCode = rows[index]->code;
    if (StatusCode == BuiltInStatus::In) {
        // In has no absence to put in the calendar, for the rest of the dialog.
        chkAddToOutLook->setEnabled(false);
        StartTime->clear();
        EndTime->clear();
    } else if (StatusCode == BuiltInStatus::Home && OwnStatus) {
        Steps::skip([&] { setDateTime(EndTime, NextWorkingDay(g_oUserProperties.WorkStartTime)); });
    }
    if (OwnStatus)
        chkAddToOutLook->setChecked(false);
    proposeDefaults();
}

void frmStatusChange::statusMenuClicked(const QString &code)
{
    StatusCode = code;
    proposeDefaults();
}

void frmStatusChange::proposeDefaults()
{
    Steps::skip([&] { lblStatus->setText(GetResString(295) + u' ' + GetStatusDescription(StatusCode)); });
    // A note someone wrote keeps its own times too.
    if (!txtNote->text().trimmed().isEmpty())
        return;
    StatusProposal::Options options;
    QString note;
    if (!proposalOptions(options, note))
        return;
    txtNote->setText(note);
    Steps::skip([&] {
        const double current = EndTime->DateTimeValue();
        const double proposed = StatusProposal::dueBack(StatusCode, StartTime->DateTimeValue(), current, options);
        if (proposed != current)
            setDateTime(EndTime, proposed);
    });
}

bool frmStatusChange::proposalOptions(StatusProposal::Options &options, QString &note)
{
    const CClientNote notes;
    if (OwnStatus || TargetUserID == 0) {
        Steps::skip([&] { note = notes.GetParsedNote(StatusCode, g_oUserProperties); });
        options = {g_oUserProperties.LunchTimePeriod, g_oUserProperties.WorkStartTime, g_oUserProperties.BreakPeriod};
        return true;
    }
    if (!loadColleague())
        return false;
    options = {m_colleague.LunchTimePeriod, m_colleague.WorkStartTime, m_colleague.BreakPeriod};
    CUserProperties colleague;
    colleague.LunchTimePeriod = options.LunchTimePeriod;
    colleague.WorkStartTime = options.WorkStartTime;
    colleague.BreakPeriod = options.BreakPeriod;
    Steps::skip([&] { note = notes.getParsedNoteA(StatusCode, m_colleagueNotes, colleague); });
    return true;
}

bool frmStatusChange::loadColleague()
{
    if (!m_colleagueRead) {
        m_colleagueRead = true;
        try {
            QList<CTreeNode> groups;
            DbHandle connection;
            CClientAdmin().ReadUser(TargetUserID, m_colleague, groups, m_colleagueNotes, connection);
            m_colleagueLoaded = true;
        } catch (const AppError &e) {
            // Without his options there is nothing sound to propose.
            WriteErrorLog(e.number(), e.description(), QStringLiteral("frmStatusChange.loadColleague\r\n") + e.source());
        }
    }
    return m_colleagueLoaded;
}

void frmStatusChange::spinStart(int clicks)
{
    const double start = StatusProposal::spin(StartTime->DateTimeValue(), clicks);
    const double end = StatusProposal::spin(EndTime->DateTimeValue(), clicks);
    setDateTime(StartTime, start);
    setDateTime(EndTime, end);
}

void frmStatusChange::spinEnd(int clicks)
{
    setDateTime(EndTime, StatusProposal::spin(EndTime->DateTimeValue(), clicks));
}

void frmStatusChange::okClicked()
{
    // Empty boxes are a choice here (In empties both); unreadable text is not.
    for (const auto &[control, label] : {std::pair{StartTime, lblOut}, std::pair{EndTime, lblDueBack}}) {
        const QString problem = control->checkEntry(label->text(), false);
        if (!problem.isEmpty()) {
            g_prompt->message(problem, IPrompt::Ok, IPrompt::Exclamation, GetResString(128));
            return;
        }
    }
    try {
        if (g_oClientHnd)
            txtNote->setText(CClientNote().ParseNote(txtNote->text(), g_oUserProperties));
    } catch (const AppError &e) {
        ErrorDialog(e.number(), e.description(), QStringLiteral("frmStatusChange.cmdOK_Click\r\n") + e.source());
        return;
    }
    Cancelled = false;
    accept();
}

void frmStatusChange::done(int result)
{
    // The close box and Escape count as Cancel.
    if (result != QDialog::Accepted)
        Cancelled = true;
    QDialog::done(result);
}

void frmStatusChange::setStatusLabel(const QString &text)
{
    lblStatus->setText(text);
}

void frmStatusChange::setNote(const QString &note)
{
    txtNote->setText(note);
}

void frmStatusChange::setAddToOutlook(bool ticked, bool enabled, bool visible)
{
    chkAddToOutLook->setChecked(ticked);
    chkAddToOutLook->setEnabled(enabled);
    chkAddToOutLook->setVisible(visible);
}

void frmStatusChange::setInviteAttendeesVisible(bool visible)
{
    chkInviteAttendees->setVisible(visible);
}

void frmStatusChange::setCancelEnabled(bool enabled)
{
    cmdCancel->setEnabled(enabled);
}

void frmStatusChange::setInButtonVisible(bool visible)
{
    if (QAction *action = Toolbar1->findChild<QAction *>(QString(BuiltInStatus::In) + QStringLiteral("Action")))
        action->setVisible(visible);
}

bool frmStatusChange::showModal()
{
    adjustSize();
    exec();
    return Cancelled;
}

QString frmStatusChange::note() const
{
    return txtNote->text();
}

double frmStatusChange::outTime() const
{
    return StartTime->DateTimeValue();
}

double frmStatusChange::dueBack() const
{
    return EndTime->DateTimeValue();
}

bool frmStatusChange::addToOutlook() const
{
    return chkAddToOutLook->isChecked();
}

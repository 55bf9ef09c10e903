#include "frmOptions.h"

#include "COptionsSaver.h"
#include "IUserOptionsHost.h"
#include "LanguageChoice.h"
#include "OptionsValidator.h"
#include "PageList.h"
#include "QuickNoteRules.h"
#include "RefreshFactor.h"
#include "SliderScale.h"
#include "StatusComboItems.h"
#include "datetime/ucDateTime.h"
#include "foundation/CTreeNode.h"
#include "foundation/Globals.h"
#include "foundation/ICalendarLink.h"
#include "foundation/IPrompt.h"
#include "foundation/MCIFunctions.h"
#include "foundation/MErrorHandler.h"
#include "platform/AppError.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QSlider>
#include <QVBoxLayout>

namespace {

const int kKeyRole = Qt::UserRole;
const int kTagRole = Qt::UserRole + 1;
const int kIdRole = Qt::UserRole + 2;
const qint32 kTabCaptions[OptionsSetup::Tabs] = {220, 224, 229, 232, 243, 251, 260, 238, 308, 240, 241};

template <std::size_t N>
int chosenIndex(const std::array<QRadioButton *, N> &options)
{
    for (std::size_t i = 0; i < N; ++i) {
        if (options[i]->isChecked())
            return int(i);
    }
    return -1;
}

// Chooses one option, or none for an index out of range.
template <std::size_t N>
void choose(const std::array<QRadioButton *, N> &options, int index)
{
    for (QRadioButton *option : options) {
        option->setAutoExclusive(false);
        option->setChecked(false);
        option->setAutoExclusive(true);
    }
    if (index >= 0 && index < int(N))
        options[index]->setChecked(true);
}

QLabel *wrappedLabel(QWidget *parent)
{
    auto *label = new QLabel(parent);
    label->setWordWrap(true);
    return label;
}

QIcon imageOf(const QString &key)
{
    const IUserOptionsHost *host = IUserOptionsHost::ofMainWindow();
    return host ? host->smallImage(key) : QIcon();
}

} // namespace

frmOptions::frmOptions(QWidget *parent) : QDialog(parent)
{
    setModal(true);
    setWindowIcon(imageOf(QStringLiteral("Qel")));
    tabOptions = new PageList(this);
    QWidget *pages[OptionsSetup::Tabs] = {buildPersonalTab(), buildQuickNotesTab(), buildActionsTab(),
                                          buildRefreshTab(),  buildVisualTab(),     buildCalendarTab(),
                                          buildTimesTab(),    buildGroupsTab(),     buildLanguageTab(),
                                          buildStartUpTab(),  buildExitTab()};
    for (int i = 0; i < OptionsSetup::Tabs; ++i)
        tabOptions->addTab(tabPage(i, pages[i]), QString());

    cmdOK = new QPushButton(this);
    cmdCancel = new QPushButton(this);
    cmdAddAnother = new QPushButton(QStringLiteral("Save + Add New"), this);
    cmdOK->setDefault(true);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    for (QPushButton *button : {cmdAddAnother, cmdOK, cmdCancel})
        buttons->addWidget(button);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(tabOptions);
    layout->addLayout(buttons);
    connect(cmdOK, &QPushButton::clicked, this, &frmOptions::cmdOK_Click);
    connect(cmdCancel, &QPushButton::clicked, this, &frmOptions::cmdCancel_Click);
    connect(cmdAddAnother, &QPushButton::clicked, this, &frmOptions::cmdAddAnother_Click);

    setValues(OptionsValues());
    populateStatusCombos();
    populateStrings();
    populateNoteTypes();
    populateTokens();
    populateGroupCombo();
    refreshGroupButtons();
}

QWidget *frmOptions::tabPage(int index, QWidget *content)
{
    auto *page = new QWidget;
    auto *layout = new QVBoxLayout(page);
    lblHeading[index] = new QLabel(page);
    QFont bold = lblHeading[index]->font();
    bold.setBold(true);
    lblHeading[index]->setFont(bold);
    layout->addWidget(lblHeading[index]);
    layout->addWidget(content);
    layout->addStretch();
    return page;
}

QWidget *frmOptions::buildPersonalTab()
{
    auto *page = new QWidget;
    auto *form = new QFormLayout(page);
    const auto row = [&](QLabel *&label, QLineEdit *&edit) {
        label = new QLabel(page);
        edit = new QLineEdit(page);
        form->addRow(label, edit);
    };
    row(lblName, txtRealName);
    row(lblEmail, txtEmail);
    row(lblMobile, txtMobileNumber);
    row(lblPhone, txtPhoneExtension);
    row(lblLoginName, txtLoginName);
    chkAdmin = new QCheckBox(page);
    form->addRow(chkAdmin);
    connect(chkAdmin, &QCheckBox::clicked, this, &frmOptions::chkAdmin_Click);
    return page;
}

QWidget *frmOptions::buildQuickNotesTab()
{
    auto *page = new QWidget;
    auto *form = new QFormLayout(page);
    for (QLabel *&label : lblQSN)
        label = new QLabel(page);
    cboNoteType = new QComboBox(page);
    txtFields[0] = new QLineEdit(page);
    txtFields[1] = new QLineEdit(page);
    txtFields[1]->setReadOnly(true);
    txtFields[1]->setStyleSheet(QStringLiteral("background-color: #E0E0E0"));
    cboTokens = new QComboBox(page);
    cmdAddToken = new QPushButton(page);
    auto *tokenRow = new QHBoxLayout;
    tokenRow->addWidget(cboTokens, 1);
    tokenRow->addWidget(cmdAddToken);
    form->addRow(lblQSN[0], cboNoteType);
    form->addRow(lblQSN[1], txtFields[0]);
    form->addRow(lblQSN[2], tokenRow);
    form->addRow(lblQSN[3], txtFields[1]);
    connect(cboNoteType, &QComboBox::activated, this, &frmOptions::cboNoteType_Click);
    connect(txtFields[0], &QLineEdit::textChanged, this, &frmOptions::txtNote_Change);
    connect(cmdAddToken, &QPushButton::clicked, this, &frmOptions::cmdAddToken_Click);
    return page;
}

QWidget *frmOptions::buildActionsTab()
{
    auto *page = new QWidget;
    auto *layout = new QVBoxLayout(page);
    lblDoubleClickEx = wrappedLabel(page);
    layout->addWidget(lblDoubleClickEx);
    for (QRadioButton *&option : optListDblClick) {
        option = new QRadioButton(page);
        layout->addWidget(option);
    }
    return page;
}

QWidget *frmOptions::buildRefreshTab()
{
    auto *page = new QWidget;
    auto *layout = new QVBoxLayout(page);
    Slider1 = new QSlider(Qt::Horizontal, page);
    Slider1->setMaximum(RefreshFactor::SliderMaximum);
    Slider1->setValue(RefreshFactor::SliderStart);
    Slider1->setMinimum(RefreshFactor::SliderMinimum);
    Slider1->setTickInterval(RefreshFactor::SliderTick);
    Slider1->setPageStep(RefreshFactor::SliderTick);
    Slider1->setTickPosition(QSlider::TicksBelow);
    lblNormalPollTimes[0] =
        new SliderScale(QStringLiteral("  1     2     3     4     5     6     7     8     9    10 "), Slider1, page);
    lblNormalPollTimes[1] = new QLabel(page);
    lblRefreshFreqEx = wrappedLabel(page);
    layout->addWidget(Slider1);
    layout->addWidget(lblNormalPollTimes[0]);
    layout->addWidget(lblNormalPollTimes[1]);
    layout->addWidget(lblRefreshFreqEx);
    return page;
}

QWidget *frmOptions::buildVisualTab()
{
    auto *page = new QWidget;
    auto *layout = new QVBoxLayout(page);
    fraIconSize = new QGroupBox(page);
    auto *icons = new QHBoxLayout(fraIconSize);
    for (QRadioButton *&option : optIconSize) {
        option = new QRadioButton(fraIconSize);
        icons->addWidget(option);
    }
    fraOptUserListCol = new QGroupBox(page);
    auto *columns = new QVBoxLayout(fraOptUserListCol);
    for (QCheckBox *&box : chkColumns) {
        box = new QCheckBox(fraOptUserListCol);
        columns->addWidget(box);
    }
    fraTreeView = new QGroupBox(page);
    chkByStatus = new QCheckBox(fraTreeView);
    (new QVBoxLayout(fraTreeView))->addWidget(chkByStatus);
    lblIconSizeEx = wrappedLabel(page);
    for (QWidget *part : {static_cast<QWidget *>(fraIconSize), static_cast<QWidget *>(fraOptUserListCol),
                          static_cast<QWidget *>(fraTreeView), static_cast<QWidget *>(lblIconSizeEx)})
        layout->addWidget(part);
    return page;
}

QWidget *frmOptions::buildCalendarTab()
{
    auto *page = new QWidget;
    auto *layout = new QVBoxLayout(page);
    chkOutlookExtensions = new QCheckBox(page);
    chkOutlookParallelProcess =
        new QCheckBox(QStringLiteral("Enable Parallel-Process Calendar Checking instead of In-Process"), page);
    fraOutlook = new QGroupBox(page);
    auto *grid = new QFormLayout(fraOutlook);
    lblWhen = new QLabel(fraOutlook);
    lblShowStatus = new QLabel(fraOutlook);
    grid->addRow(lblWhen, lblShowStatus);
    for (int i = 0; i < StatusComboItems::Combos; ++i) {
        lblStatus[i] = new QLabel(fraOutlook);
        cboStatus[i] = new QComboBox(fraOutlook);
        grid->addRow(lblStatus[i], cboStatus[i]);
    }
    auto *places = new QFormLayout;
    txtCalendarPath = new QLineEdit(page);
    txtCalendarPath->setPlaceholderText(QStringLiteral("an .ics file or a folder of them"));
    txtContactsPath = new QLineEdit(page);
    txtContactsPath->setPlaceholderText(QStringLiteral("a .vcf file or a folder of them"));
    places->addRow(QStringLiteral("Calendar location:"), txtCalendarPath);
    places->addRow(QStringLiteral("Contacts location:"), txtContactsPath);
    layout->addWidget(chkOutlookExtensions);
    layout->addWidget(chkOutlookParallelProcess);
    layout->addLayout(places);
    layout->addWidget(fraOutlook);
    connect(chkOutlookExtensions, &QCheckBox::clicked, this, &frmOptions::chkOutlookExtensions_Click);
    return page;
}

QWidget *frmOptions::buildTimesTab()
{
    auto *page = new QWidget;
    auto *form = new QFormLayout(page);
    lblStartWork = new QLabel(page);
    ucStartWorkTime = new ucDateTime(page);
    ucStartWorkTime->setStyle(2); // the time box only
    form->addRow(lblStartWork, ucStartWorkTime);
    const auto minutesRow = [&](QLabel *&label, QLineEdit *&edit, QLabel *&unit) {
        label = new QLabel(page);
        edit = new QLineEdit(page);
        unit = new QLabel(page);
        auto *row = new QHBoxLayout;
        row->addWidget(edit);
        row->addWidget(unit);
        form->addRow(label, row);
    };
    minutesRow(lblLunchPeriod, txtLunchPeriod, lblMinutes[0]);
    minutesRow(lblBreakPeriod, txtBreakPeriod, lblMinutes[1]);
    return page;
}

QWidget *frmOptions::buildGroupsTab()
{
    auto *page = new QWidget;
    auto *layout = new QVBoxLayout(page);
    icboGroups = new QComboBox(page);
    cmdAddGroup = new QPushButton(page);
    auto *addRow = new QHBoxLayout;
    addRow->addWidget(icboGroups, 1);
    addRow->addWidget(cmdAddGroup);
    lvwGroupsJoined = new QListWidget(page);
    cmdRemoveGroup = new QPushButton(page);
    layout->addLayout(addRow);
    layout->addWidget(lvwGroupsJoined);
    layout->addWidget(cmdRemoveGroup, 0, Qt::AlignRight);
    connect(icboGroups, &QComboBox::activated, this, &frmOptions::refreshGroupButtons);
    connect(lvwGroupsJoined, &QListWidget::itemSelectionChanged, this, &frmOptions::refreshGroupButtons);
    connect(cmdAddGroup, &QPushButton::clicked, this, &frmOptions::cmdAddGroup_Click);
    connect(cmdRemoveGroup, &QPushButton::clicked, this, &frmOptions::cmdRemoveGroup_Click);
    return page;
}

// Only the first four languages are offered; a user who has one of the
// others sees it chosen and keeps it.
QWidget *frmOptions::buildLanguageTab()
{
    auto *page = new QWidget;
    auto *layout = new QVBoxLayout(page);
    for (int i = 0; i < LanguageChoice::Count; ++i) {
        optLanguage[i] = new QRadioButton(LanguageChoice::captionAt(i), page);
        optLanguage[i]->setEnabled(i < LanguageChoice::Offered);
        layout->addWidget(optLanguage[i]);
    }
    return page;
}

QWidget *frmOptions::buildStartUpTab()
{
    auto *page = new QWidget;
    chkStartUp = new QCheckBox(page);
    (new QVBoxLayout(page))->addWidget(chkStartUp);
    return page;
}

QWidget *frmOptions::buildExitTab()
{
    auto *page = new QWidget;
    auto *layout = new QVBoxLayout(page);
    lblOnExitEx = wrappedLabel(page);
    layout->addWidget(lblOnExitEx);
    for (QRadioButton *&option : optOnClose) {
        option = new QRadioButton(page);
        layout->addWidget(option);
    }
    return page;
}

void frmOptions::populateStrings()
{
    setWindowTitle(GetResString(126));
    for (int i = 0; i < OptionsSetup::Tabs; ++i) {
        tabOptions->setTabText(i, GetResString(kTabCaptions[i]));
        lblHeading[i]->setText(GetResString(kTabCaptions[i]));
    }
    const std::pair<QLabel *, qint32> labels[] = {
        {lblName, 221}, {lblEmail, 239}, {lblMobile, 160}, {lblPhone, 161}, {lblLoginName, 223}, {lblQSN[0], 225},
        {lblQSN[1], 157}, {lblQSN[2], 226}, {lblQSN[3], 227}, {lblDoubleClickEx, 231}, {lblRefreshFreqEx, 237},
        {lblNormalPollTimes[1], 235}, {lblIconSizeEx, 264}, {lblWhen, 254}, {lblShowStatus, 255}, {lblStatus[0], 256},
        {lblStatus[1], 257}, {lblStatus[2], 258}, {lblStatus[3], 259}, {lblStartWork, 261}, {lblLunchPeriod, 262},
        {lblBreakPeriod, 263}, {lblOnExitEx, 269}
    };
    for (const auto &[label, id] : labels)
        label->setText(GetResString(id));
    const std::pair<QAbstractButton *, qint32> buttons[] = {
        {chkAdmin, 187}, {cmdAddToken, 228}, {optListDblClick[0], 128}, {optListDblClick[1], 110},
        {optListDblClick[2], 111}, {optIconSize[0], 122}, {optIconSize[1], 121}, {chkColumns[0], 246},
        {chkColumns[1], 160}, {chkColumns[2], 161}, {chkColumns[3], 247}, {chkColumns[4], 248}, {chkByStatus, 250},
        {chkOutlookExtensions, 252}, {cmdAddGroup, 132}, {cmdRemoveGroup, 324}, {chkStartUp, 242},
        {optOnClose[0], 265}, {optOnClose[1], 266}, {optOnClose[2], 267}, {optOnClose[3], 268}, {cmdOK, 175},
        {cmdCancel, 176}
    };
    for (const auto &[button, id] : buttons)
        button->setText(GetResString(id));
    const std::pair<QGroupBox *, qint32> frames[] = {
        {fraIconSize, 244}, {fraOptUserListCol, 245}, {fraTreeView, 249}, {fraOutlook, 253}
    };
    for (const auto &[frame, id] : frames)
        frame->setTitle(GetResString(id));
    for (QLabel *label : lblMinutes)
        label->setText(u'(' + GetResString(235) + u')');
}

void frmOptions::populateStatusCombos()
{
    for (int i = 0; i < StatusComboItems::Combos; ++i) {
        for (const QString &code : StatusComboItems::codes())
            cboStatus[i]->addItem(GetStatusDescription(code), code);
        setStatusComboValue(i, StatusComboItems::defaultCode(i));
    }
}

void frmOptions::populateNoteTypes()
{
    cboNoteType->addItems(QuickNoteRules::noteTypeTexts());
    cboNoteType->setCurrentIndex(-1);
}

void frmOptions::populateTokens()
{
    const QList<QuickNoteRules::Token> &tokens = QuickNoteRules::tokens();
    for (int i = 0; i < tokens.size(); ++i)
        cboTokens->addItem(tokens[i].entry, i + 1);
    cboTokens->setCurrentIndex(-1);
}

void frmOptions::populateGroupCombo()
{
    for (const CTreeNode &node : g_colTreeNodes) {
        if (node.NodeType.compare(QLatin1String("GRP"), Qt::CaseInsensitive) != 0)
            continue;
        icboGroups->addItem(imageOf(node.Icon), node.Name);
        const int row = icboGroups->count() - 1;
        icboGroups->setItemData(row, node.TreeKey(), kKeyRole);
        icboGroups->setItemData(row, node.Key(), kTagRole);
    }
    icboGroups->setCurrentIndex(-1);
}

void frmOptions::setStatusComboValue(int index, const QString &code)
{
    if (index < 0 || index >= StatusComboItems::Combos)
        return;
    const int found = cboStatus[index]->findData(code);
    if (found >= 0)
        cboStatus[index]->setCurrentIndex(found);
}

QString frmOptions::getStatusComboValue(int index) const
{
    if (index < 0 || index >= StatusComboItems::Combos)
        return QString();
    return cboStatus[index]->currentData().toString();
}

void frmOptions::setSelectedLanguage(const QString &code)
{
    choose(optLanguage, LanguageChoice::indexOf(code));
}

QString frmOptions::getSelectedLanguage() const
{
    return LanguageChoice::codeAt(chosenIndex(optLanguage));
}

void frmOptions::setRefreshFactor(qint16 period)
{
    Slider1->setValue(RefreshFactor::sliderPosition(period));
}

qint16 frmOptions::getRefreshFactor() const
{
    return RefreshFactor::period(Slider1->value());
}

void frmOptions::addGroupToList(const CTreeNode &node)
{
    m_groups.addStored(node);
    showJoinedGroups();
}

void frmOptions::setValues(const OptionsValues &v)
{
    txtRealName->setText(v.RealName);
    txtEmail->setText(v.Email);
    txtMobileNumber->setText(v.MobilePh);
    txtPhoneExtension->setText(v.PhExtension);
    txtLoginName->setText(v.LoginName);
    txtLunchPeriod->setText(v.LunchText);
    txtBreakPeriod->setText(v.BreakText);
    ucStartWorkTime->setTimeValue(v.WorkStartTime);
    chkAdmin->setChecked(v.Admin);
    choose(optOnClose, v.OnClose);
    choose(optListDblClick, v.OnListDblClick);
    chkOutlookExtensions->setChecked(v.Outlook);
    chkOutlookParallelProcess->setChecked(v.OutlookOOP);
    setSelectedLanguage(v.Language);
    setRefreshFactor(v.RefreshPeriod);
    chkStartUp->setChecked(v.StartMin);
    for (int i = 0; i < StatusComboItems::Combos; ++i)
        setStatusComboValue(i, v.CalendarStatus[i]);
    txtCalendarPath->setText(v.CalendarPath);
    txtContactsPath->setText(v.ContactsPath);
    choose(optIconSize, v.LargeIcons ? 1 : 0);
    for (int i = 0; i < OptionsValues::OptionalColumns; ++i)
        chkColumns[i]->setChecked(v.ShowColumn[i]);
    chkByStatus->setChecked(v.TreeByStatus);
}

OptionsValues frmOptions::values() const
{
    OptionsValues v;
    v.RealName = txtRealName->text();
    v.Email = txtEmail->text();
    v.MobilePh = txtMobileNumber->text();
    v.PhExtension = txtPhoneExtension->text();
    v.LoginName = txtLoginName->text();
    v.LunchText = txtLunchPeriod->text();
    v.BreakText = txtBreakPeriod->text();
    v.WorkStartTime = ucStartWorkTime->TimeValue();
    v.Admin = chkAdmin->isChecked();
    v.OnClose = chosenIndex(optOnClose);
    v.OnListDblClick = chosenIndex(optListDblClick);
    v.Outlook = chkOutlookExtensions->isChecked();
    v.OutlookOOP = chkOutlookParallelProcess->isChecked();
    v.Language = getSelectedLanguage();
    v.RefreshPeriod = getRefreshFactor();
    v.StartMin = chkStartUp->isChecked();
    for (int i = 0; i < StatusComboItems::Combos; ++i)
        v.CalendarStatus[i] = getStatusComboValue(i);
    v.CalendarPath = txtCalendarPath->text();
    v.ContactsPath = txtContactsPath->text();
    v.LargeIcons = optIconSize[1]->isChecked();
    for (int i = 0; i < OptionsValues::OptionalColumns; ++i)
        v.ShowColumn[i] = chkColumns[i]->isChecked();
    v.TreeByStatus = chkByStatus->isChecked();
    return v;
}

void frmOptions::applySetup(const OptionsSetup &setup)
{
    setValues(setup.values);
    setWindowTitle(setup.caption);
    chkAdmin->setEnabled(setup.adminEditable);
    txtLoginName->setEnabled(setup.loginEditable);
    lblLoginName->setEnabled(setup.loginEditable);
    optListDblClick[0]->setEnabled(setup.firstDblClickEnabled);
    chkOutlookExtensions->setEnabled(setup.calendarBoxEnabled);
    fraOutlook->setEnabled(setup.calendarFrameEnabled);
    for (int i = 0; i < OptionsSetup::Tabs; ++i)
        tabOptions->setTabEnabled(i, setup.tabEnabled[i]);
    m_calendarAllowed = setup.calendarAllowed;
    for (const CTreeNode &node : setup.groups)
        addGroupToList(node);
    QuickNotes = setup.quickNotes;
    cmdAddAnother->setEnabled(setup.addAnother);
    IsNewUser = setup.isNewUser;
    setUserID(setup.userID);
    cboNoteType->setCurrentIndex(0);
    cboNoteType_Click();
}

void frmOptions::cmdOK_Click()
{
    if (!validateAndSave())
        return;
    done(QDialog::Accepted);
}

void frmOptions::cmdAddAnother_Click()
{
    if (!validateAndSave())
        return;
    g_prompt->message(txtRealName->text() + QStringLiteral(" has been added."), IPrompt::Ok, IPrompt::Information,
                      QStringLiteral("User Added"));
    for (QLineEdit *box : {txtEmail, txtLoginName, txtRealName, txtMobileNumber, txtPhoneExtension})
        box->clear();
    tabOptions->setCurrentIndex(OptionsSetup::PersonalDetails);
}

// A start time typed so that it reads as no time would be stored as midnight.
bool frmOptions::validateAndSave()
{
    const QString problem = ucStartWorkTime->checkEntry(lblStartWork->text(), true);
    if (!problem.isEmpty()) {
        tabOptions->setCurrentIndex(OptionsSetup::DefaultTimes);
        g_prompt->message(problem, IPrompt::Ok, IPrompt::Exclamation, QStringLiteral("Warning"));
        return false;
    }
    return OptionsValidator::validateOptions(values(), joinedGroupCount()) && saveOptions();
}

void frmOptions::cmdCancel_Click()
{
    Cancelled = true;
    done(QDialog::Rejected);
}

// The title bar's close box and Escape cancel too.
void frmOptions::reject()
{
    cmdCancel_Click();
}

// A database failure, or a log-in name already in use, is shown and the
// dialog stays open with what was typed.
bool frmOptions::saveOptions()
{
    COptionsSaver::Request request;
    request.values = values();
    request.userID = m_userID;
    request.isNewUser = IsNewUser;
    request.quickNotes = QuickNotes;
    request.groupChanges = getGroupArray();
    request.calendarAllowed = m_calendarAllowed;
    try {
        m_userID = COptionsSaver().saveOptions(request);
    } catch (const AppError &e) {
        if (e.number() == ErrNo::LoginInUse)
            warnLoginInUse(e.description());
        else
            ErrorDialog(e.number(), e.description(), e.source());
        return false;
    }
    // The next user added joins the same groups, so only an edit settles them.
    if (!IsNewUser)
        m_groups.markSaved();
    ++m_savedCount;
    return true;
}

void frmOptions::warnLoginInUse(const QString &text)
{
    g_prompt->message(text, IPrompt::Ok, IPrompt::Exclamation, QStringLiteral("Login Name in Use"));
    tabOptions->setCurrentIndex(OptionsSetup::PersonalDetails);
    txtLoginName->setFocus();
}

void frmOptions::chkAdmin_Click()
{
    if (chkAdmin->isChecked())
        return;
    const int answer = g_prompt->message(
        QStringLiteral("Removing Administration access means you will no longer be able access the Admin menu. Once "
                       "you lose this access you can only gain it if another administrator sets it for you. Are you "
                       "sure you wish to remove this access?"),
        IPrompt::YesNo, IPrompt::Exclamation, QStringLiteral("Admin Access"));
    if (answer == IPrompt::AnswerNo)
        chkAdmin->setChecked(true);
}

void frmOptions::chkOutlookExtensions_Click()
{
    if (chkOutlookExtensions->isChecked())
        g_calendarLink->testOutLookInstall(txtCalendarPath->text().trimmed());
    setCalendarControlsEnabled(chkOutlookExtensions->isChecked());
}

void frmOptions::setCalendarControlsEnabled(bool enabled)
{
    fraOutlook->setEnabled(enabled);
    chkOutlookParallelProcess->setEnabled(enabled);
}

int frmOptions::selectedNoteType() const
{
    const int index = cboNoteType->currentIndex();
    return index >= 0 ? index + 1 : 0;
}

// Showing a stored note is not an edit of it.
void frmOptions::cboNoteType_Click()
{
    const int type = selectedNoteType();
    if (type == 0)
        return;
    {
        const QSignalBlocker quiet(txtFields[0]);
        txtFields[0]->setText(QuickNotes.at(type).note);
    }
    showPreview();
}

void frmOptions::txtNote_Change()
{
    const int type = selectedNoteType();
    if (type == 0)
        return;
    QuickNotes.rows[type].note = txtFields[0]->text();
    showPreview();
}

void frmOptions::showPreview()
{
    const CUserProperties options = QuickNoteRules::previewOptions(txtLunchPeriod->text(), txtBreakPeriod->text(),
                                                                   ucStartWorkTime->DateTimeValue());
    txtFields[1]->setText(QuickNoteRules::preview(txtFields[0]->text(), options));
}

void frmOptions::cmdAddToken_Click()
{
    const QString token = QuickNoteRules::tokenFor(cboTokens->currentData().toInt());
    if (!token.isEmpty())
        txtFields[0]->setText(txtFields[0]->text() + token);
}

void frmOptions::cmdAddGroup_Click()
{
    if (icboGroups->currentIndex() < 0)
        return;
    const CTreeNode *node = FindTreeNode(icboGroups->currentData(kKeyRole).toString());
    if (!node)
        return;
    if (!m_groups.join(*node)) {
        g_prompt->message(node->Name + QStringLiteral(" has already been added."), IPrompt::Ok, IPrompt::Exclamation,
                          QStringLiteral("Group already added"));
        return;
    }
    showJoinedGroups();
}

void frmOptions::cmdRemoveGroup_Click()
{
    const QListWidgetItem *item = lvwGroupsJoined->currentItem();
    if (!item || !item->isSelected())
        return;
    m_groups.leave(item->data(kIdRole).toInt());
    showJoinedGroups();
}

void frmOptions::showJoinedGroups()
{
    lvwGroupsJoined->clear();
    for (const CTreeNode &node : m_groups.joined()) {
        auto *item = new QListWidgetItem(imageOf(node.Icon), node.Name, lvwGroupsJoined);
        item->setData(kKeyRole, node.TreeKey());
        item->setData(kTagRole, node.Key());
        item->setData(kIdRole, node.ID);
    }
    refreshGroupButtons();
}

void frmOptions::refreshGroupButtons()
{
    cmdAddGroup->setEnabled(icboGroups->currentIndex() >= 0);
    cmdRemoveGroup->setEnabled(!lvwGroupsJoined->selectedItems().isEmpty());
}

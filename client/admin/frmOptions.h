#pragma once

#include "GroupMembership.h"
#include "OptionsSetup.h"
#include "OptionsValues.h"
#include "foundation/CTreeNode.h"
#include "foundation/QuickNoteTable.h"

#include <QDialog>
#include <array>

class PageList;
class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QRadioButton;
class QSlider;
class ucDateTime;

// The per-user options dialog: eleven pages over the user's record, his quick
// notes, his groups and this machine's display and calendar settings. The
// rules live in plain classes; the form shows and forwards. It ends by hiding
// itself: after a successful OK, or on Cancel with Cancelled set.
class frmOptions : public QDialog
{
    Q_OBJECT
public:
    explicit frmOptions(QWidget *parent = nullptr);

    bool Cancelled = false;
    QuickNoteTable QuickNotes; // row 0 edited in place
    bool IsNewUser = false;

    void populateStrings();
    void setStatusComboValue(int index, const QString &code);
    QString getStatusComboValue(int index) const;
    void setSelectedLanguage(const QString &code);
    QString getSelectedLanguage() const;
    void setRefreshFactor(qint16 period);
    qint16 getRefreshFactor() const;
    void setUserID(qint32 id) { m_userID = id; }
    qint32 userID() const { return m_userID; }
    void addGroupToList(const CTreeNode &node);
    QList<GroupMembership::Change> getGroupArray() const { return m_groups.changes(); }
    int joinedGroupCount() const { return m_groups.joined().size(); }

    void setValues(const OptionsValues &values);
    OptionsValues values() const;
    // Fills the dialog as the caller prepared it.
    void applySetup(const OptionsSetup &setup);
    // How many times the dialog saved (Save + Add New saves more than once).
    int savedCount() const { return m_savedCount; }

    // Controls, named as the form's designer named them.
    PageList *tabOptions = nullptr;
    std::array<QLabel *, OptionsSetup::Tabs> lblHeading{};
    QLineEdit *txtRealName = nullptr, *txtEmail = nullptr, *txtMobileNumber = nullptr;
    QLineEdit *txtPhoneExtension = nullptr, *txtLoginName = nullptr;
    QLabel *lblName = nullptr, *lblEmail = nullptr, *lblMobile = nullptr, *lblPhone = nullptr;
    QLabel *lblLoginName = nullptr;
    QCheckBox *chkAdmin = nullptr;
    QComboBox *cboNoteType = nullptr, *cboTokens = nullptr;
    std::array<QLabel *, 4> lblQSN{};
    std::array<QLineEdit *, 2> txtFields{}; // the note and its preview
    QPushButton *cmdAddToken = nullptr;
    QLabel *lblDoubleClickEx = nullptr;
    std::array<QRadioButton *, 3> optListDblClick{};
    QSlider *Slider1 = nullptr;
    QLabel *lblRefreshFreqEx = nullptr;
    std::array<QLabel *, 2> lblNormalPollTimes{};
    QGroupBox *fraIconSize = nullptr, *fraOptUserListCol = nullptr, *fraTreeView = nullptr;
    std::array<QRadioButton *, 2> optIconSize{};
    std::array<QCheckBox *, OptionsValues::OptionalColumns> chkColumns{};
    QCheckBox *chkByStatus = nullptr;
    QLabel *lblIconSizeEx = nullptr;
    QCheckBox *chkOutlookExtensions = nullptr, *chkOutlookParallelProcess = nullptr;
    QGroupBox *fraOutlook = nullptr;
    QLineEdit *txtCalendarPath = nullptr, *txtContactsPath = nullptr;
    QLabel *lblWhen = nullptr, *lblShowStatus = nullptr;
    std::array<QLabel *, 4> lblStatus{};
    std::array<QComboBox *, 4> cboStatus{};
    ucDateTime *ucStartWorkTime = nullptr;
    QLineEdit *txtLunchPeriod = nullptr, *txtBreakPeriod = nullptr;
    QLabel *lblStartWork = nullptr, *lblLunchPeriod = nullptr, *lblBreakPeriod = nullptr;
    std::array<QLabel *, 2> lblMinutes{};
    QComboBox *icboGroups = nullptr;
    QListWidget *lvwGroupsJoined = nullptr;
    QPushButton *cmdAddGroup = nullptr, *cmdRemoveGroup = nullptr;
    std::array<QRadioButton *, 7> optLanguage{};
    QCheckBox *chkStartUp = nullptr;
    QLabel *lblOnExitEx = nullptr;
    std::array<QRadioButton *, 4> optOnClose{};
    QPushButton *cmdOK = nullptr, *cmdCancel = nullptr, *cmdAddAnother = nullptr;

public Q_SLOTS:
    void cmdOK_Click();
    void cmdAddAnother_Click();
    void cmdCancel_Click();
    void reject() override;

private Q_SLOTS:
    void chkAdmin_Click();
    void chkOutlookExtensions_Click();
    void cboNoteType_Click();
    void txtNote_Change();
    void cmdAddToken_Click();
    void cmdAddGroup_Click();
    void cmdRemoveGroup_Click();
    void refreshGroupButtons();

private:
    QWidget *buildPersonalTab();
    QWidget *buildQuickNotesTab();
    QWidget *buildActionsTab();
    QWidget *buildRefreshTab();
    QWidget *buildVisualTab();
    QWidget *buildCalendarTab();
    QWidget *buildTimesTab();
    QWidget *buildGroupsTab();
    QWidget *buildLanguageTab();
    QWidget *buildStartUpTab();
    QWidget *buildExitTab();
    QWidget *tabPage(int index, QWidget *content);
    void populateStatusCombos();
    void populateNoteTypes();
    void populateTokens();
    void populateGroupCombo();
    void showJoinedGroups();
    void showPreview();
    void setCalendarControlsEnabled(bool enabled);
    bool saveOptions();
    bool validateAndSave();
    void warnLoginInUse(const QString &text);
    int selectedNoteType() const;

    qint32 m_userID = 0;
    bool m_calendarAllowed = true;
    int m_savedCount = 0;
    GroupMembership m_groups;
};

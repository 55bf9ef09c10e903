#include "frmCustomStatus.h"

#include "CClientAdmin.h"
#include "foundation/BuiltInStatus.h"
#include "foundation/Globals.h"
#include "foundation/IMainWindow.h"
#include "foundation/IPrompt.h"
#include "foundation/ITrayWindow.h"
#include "foundation/MCIFunctions.h"
#include "foundation/MErrorHandler.h"
#include "platform/AppError.h"
#include "status/CClientHnd.h"
#include "status/IconArt.h"

#include <QEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace {

constexpr int kDescriptionLength = 36;

} // namespace

frmCustomStatus::frmCustomStatus(const QList<IconSelector::Picture> &pictures, QWidget *parent)
    : QDialog(parent), m_pictures(pictures), lvwStatus(new QListWidget(this)), txtNewStatus(new QLineEdit(this)),
      IconSelector1(new IconSelector(this)), cmdAdd(new QPushButton(this)), cmdRemove(new QPushButton(this)),
      cmdCancel(new QPushButton(this)), lblStatusName(new QLabel(QStringLiteral("Status Name"), this)),
      fraType(new QGroupBox(QStringLiteral("Type"), this))
{
    setObjectName(QStringLiteral("frmCustomStatus"));
    setWindowIcon(IconArt::picture(QStringLiteral("Qel"), 32));
    lvwStatus->setObjectName(QStringLiteral("lvwStatus"));
    lvwStatus->setIconSize(QSize(16, 16));
    lvwStatus->setMinimumHeight(120);
    txtNewStatus->setObjectName(QStringLiteral("txtNewStatus"));
    txtNewStatus->setMaxLength(kDescriptionLength);
    txtNewStatus->installEventFilter(this);
    IconSelector1->setObjectName(QStringLiteral("IconSelector1"));
    cmdAdd->setObjectName(QStringLiteral("cmdAdd"));
    cmdRemove->setObjectName(QStringLiteral("cmdRemove"));
    cmdCancel->setObjectName(QStringLiteral("cmdCancel"));
    cmdAdd->setEnabled(false);
    cmdRemove->setEnabled(false);

    auto *types = new QHBoxLayout(fraType);
    for (int i = 0; i < 3; ++i) {
        optType[i] = new QRadioButton(fraType);
        optType[i]->setObjectName(QStringLiteral("optType%1").arg(i));
        types->addWidget(optType[i]);
        connect(optType[i], &QRadioButton::clicked, this, &frmCustomStatus::typeClicked);
    }
    optType[0]->setChecked(true);

    auto *fraStatus = new QGroupBox(this);
    auto *newStatus = new QGridLayout(fraStatus);
    newStatus->addWidget(lblStatusName, 0, 0);
    newStatus->addWidget(txtNewStatus, 0, 1);
    newStatus->addWidget(IconSelector1, 1, 0, 1, 2);
    newStatus->addWidget(fraType, 2, 0, 1, 2);

    auto *buttons = new QHBoxLayout;
    buttons->addWidget(cmdAdd);
    buttons->addWidget(cmdRemove);
    buttons->addStretch();
    buttons->addWidget(cmdCancel);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(lvwStatus);
    layout->addWidget(fraStatus);
    layout->addLayout(buttons);

    connect(txtNewStatus, &QLineEdit::textChanged, this,
            [this](const QString &text) { cmdAdd->setEnabled(!text.trimmed().isEmpty()); });
    connect(lvwStatus, &QListWidget::itemSelectionChanged, this,
            [this] { cmdRemove->setEnabled(!lvwStatus->selectedItems().isEmpty()); });
    connect(IconSelector1, &IconSelector::IconChanged, this, [this] { m_iconChosen = true; });
    connect(cmdAdd, &QPushButton::clicked, this, &frmCustomStatus::addClicked);
    connect(cmdRemove, &QPushButton::clicked, this, &frmCustomStatus::removeClicked);
    connect(cmdCancel, &QPushButton::clicked, this, &QDialog::reject);

    populateStrings();
    IconSelector1->InitializeIcons(m_pictures);
    IconSelector1->SelectIconByKey(QString(BuiltInStatus::In));
    for (const CStatus &status : std::as_const(g_colCustomStatus))
        addListItem(status.StatusCode, status.Status, status.Icon);
}

void frmCustomStatus::populateStrings()
{
    setWindowTitle(GetResString(325));
    cmdCancel->setText(GetResString(107));
    cmdAdd->setText(GetResString(228));
    cmdRemove->setText(GetResString(324));
    optType[0]->setText(GetResString(162));
    optType[1]->setText(GetResString(158));
    optType[2]->setText(GetResString(164));
}

QString frmCustomStatus::limitMessage()
{
    return QStringLiteral("No more custom statuses can be added: every code is used.");
}

QString frmCustomStatus::chosenType() const
{
    return optType[0]->isChecked() ? QStringLiteral("I") : optType[1]->isChecked() ? QStringLiteral("O") : QStringLiteral("M");
}

void frmCustomStatus::typeClicked()
{
    if (m_iconChosen)
        return;
    IconSelector1->SelectIconByKey(optType[0]->isChecked()   ? QString(BuiltInStatus::In)
                                   : optType[1]->isChecked() ? QString(BuiltInStatus::Out)
                                                             : QString(BuiltInStatus::Meeting));
}

void frmCustomStatus::addClicked()
{
    const QString description = txtNewStatus->text().trimmed();
    if (description.isEmpty())
        return;
    try {
        const std::optional<CStatus> added =
            CClientAdmin().AddCustomStatus(description, chosenType(), IconSelector1->getSelectedIconKey());
        if (!added) {
            if (g_prompt)
                g_prompt->message(limitMessage(), IPrompt::Ok, IPrompt::Exclamation, GetResString(325));
            return;
        }
        addListItem(added->StatusCode, added->Status, added->Icon);
        refreshStatusMenus();
        txtNewStatus->clear();
        m_iconChosen = false;
        typeClicked();
    } catch (const AppError &e) {
        ErrorDialog(e.number(), e.description(), QStringLiteral("frmCustomStatus.cmdAdd_Click\r\n") + e.source());
    }
}

void frmCustomStatus::removeClicked()
{
    const QList<QListWidgetItem *> selected = lvwStatus->selectedItems();
    try {
        if (!selected.isEmpty()) {
            const QString code = selected.first()->data(Qt::UserRole).toString();
            const bool mine = g_oCurrentUser.IsIn == code;
            CClientAdmin().DeleteCustomStatus(code);
            delete selected.first();
            refreshStatusMenus();
            // Its holders are Out now; the list shows them so at once.
            if (g_frmMain && !g_sCurrentNodeKey.isEmpty())
                g_frmMain->treeViewClick(g_sCurrentNodeKey, true);
            if (mine && g_oClientHnd)
                g_oClientHnd->SetFrameCaption();
            if (mine && g_frmSysTray)
                g_frmSysTray->RefreshIcon(g_oCurrentUser.IsIn);
        }
    } catch (const AppError &e) {
        ErrorDialog(e.number(), e.description(), QStringLiteral("frmCustomStatus.cmdRemove_Click\r\n") + e.source());
    }
    cmdRemove->setEnabled(false);
}

void frmCustomStatus::addListItem(const QString &code, const QString &text, const QString &icon)
{
    QIcon picture;
    for (const IconSelector::Picture &p : std::as_const(m_pictures))
        if (p.first.compare(icon, Qt::CaseInsensitive) == 0)
            picture = p.second;
    auto *item = new QListWidgetItem(picture, text, lvwStatus);
    item->setData(Qt::UserRole, code);
}

void frmCustomStatus::refreshStatusMenus()
{
    if (g_frmMain)
        g_frmMain->loadCustomStatusToolbarMenus();
    if (g_frmSysTray)
        g_frmSysTray->loadCustomStatusMenus();
}

bool frmCustomStatus::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == txtNewStatus && event->type() == QEvent::FocusIn)
        cmdRemove->setEnabled(false);
    return QDialog::eventFilter(watched, event);
}

#include "frmJournalEntry.h"

#include "CClientOutlook.h"

#include "platform/Clock.h"
#include "dialogs/OutsideText.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

frmJournalEntry::frmJournalEntry(const QString &contactNames, const QString &companies, QWidget *parent)
    : QWidget(parent, Qt::Window), m_contactNames(contactNames), m_companies(companies), m_started(Clock::now())
{
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("Phone Call"));
    lblContact = OutsideText::label(
        companies.isEmpty() ? contactNames : contactNames.trimmed() + QStringLiteral(", ") + companies, this);
    lblElapsed = new QLabel(this);
    txtNotes = new QPlainTextEdit(this);
    cmdSave = new QPushButton(QStringLiteral("Save"), this);
    cmdCancel = new QPushButton(QStringLiteral("Cancel"), this);
    auto *top = new QHBoxLayout;
    top->addWidget(lblContact, 1);
    top->addWidget(lblElapsed);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(cmdSave);
    buttons->addWidget(cmdCancel);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(txtNotes);
    layout->addLayout(buttons);
    m_clock = new QTimer(this);
    connect(m_clock, &QTimer::timeout, this, &frmJournalEntry::showElapsed);
    connect(cmdSave, &QPushButton::clicked, this, &frmJournalEntry::cmdSave_Click);
    connect(cmdCancel, &QPushButton::clicked, this, &QWidget::close);
    m_clock->start(1000);
    showElapsed();
    resize(380, 220);
}

void frmJournalEntry::showElapsed()
{
    const qint64 secs = qMax<qint64>(0, m_started.secsTo(Clock::now()));
    lblElapsed->setText(QStringLiteral("%1:%2").arg(secs / 60).arg(secs % 60, 2, 10, QLatin1Char('0')));
}

void frmJournalEntry::cmdSave_Click()
{
    const int minutes = int((qMax<qint64>(0, m_started.secsTo(Clock::now())) + 59) / 60);
    if (CClientOutlook().NewJournalEntry(m_contactNames, m_companies, m_started, minutes, txtNotes->toPlainText()))
        close();
}

#pragma once

#include <QDateTime>
#include <QWidget>

class QLabel;
class QPlainTextEdit;
class QPushButton;
class QTimer;

// A running phone call: the clock starts when the window opens; Save adds
// the call with its length and notes to the call journal.
class frmJournalEntry : public QWidget
{
    Q_OBJECT
public:
    frmJournalEntry(const QString &contactNames, const QString &companies, QWidget *parent = nullptr);

    QLabel *lblContact = nullptr;
    QLabel *lblElapsed = nullptr;
    QPlainTextEdit *txtNotes = nullptr;
    QPushButton *cmdSave = nullptr;
    QPushButton *cmdCancel = nullptr;

    void cmdSave_Click();

private:
    void showElapsed();

    QString m_contactNames;
    QString m_companies;
    QDateTime m_started;
    QTimer *m_clock = nullptr;
};

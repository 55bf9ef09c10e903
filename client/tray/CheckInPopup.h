#pragma once

#include "frmDialog.h"
#include "status/ICheckInPopup.h"

#include <QPointer>

// The check-in offer as the client controller holds it. The notice may be
// gone already (closed by the user, replaced by newer notices); then there
// is nothing left to do.
class CheckInPopup : public ICheckInPopup
{
public:
    CheckInPopup() : m_notice(new frmDialog) {}
    // Dropped without being slid out (at close-down): the notice goes with it.
    ~CheckInPopup() override
    {
        if (m_notice && !m_notice->isLeaving())
            m_notice->deleteLater();
    }
    CheckInPopup(const CheckInPopup &) = delete;
    CheckInPopup &operator=(const CheckInPopup &) = delete;

    void setTitle(const QString &title) override { if (m_notice) m_notice->setTitle(title); }
    void setMessage(const QString &message) override { if (m_notice) m_notice->setMessage(message); }
    void setCheckIn() override { if (m_notice) m_notice->setCheckIn(); }
    void setDueBack(double dueBack) override { if (m_notice) m_notice->setDueBack(dueBack); }
    void showModeless() override {}
    void display() override { if (m_notice) m_notice->display(); }
    void undisplay() override { if (m_notice) m_notice->undisplay(); }
    void setAlwaysOnTop() override { if (m_notice) m_notice->setAlwaysOnTop(); }

    frmDialog *notice() const { return m_notice; }

private:
    QPointer<frmDialog> m_notice;
};

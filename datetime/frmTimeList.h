#pragma once

#include "ZorDateTimeExport.h"

#include <QDialog>
#include <QStringList>

class QListWidget;

// The time-list drop-down: the first entry selected, by mouse or arrow key,
// is picked and closes the list; Enter or Space closes it keeping what was
// picked (midnight when nothing was); Esc dismisses it.
class ZORDATETIME_EXPORT frmTimeList : public QDialog
{
    Q_OBJECT
public:
    explicit frmTimeList(QWidget *parent = nullptr);

    void addEntries(const QStringList &entries);
    QListWidget *List1() const { return m_list; }

    bool Cancel() const { return m_cancel; }
    double dtTime() const { return m_dtTime; } // a time of day on day 0

    void reject() override; // closing the window counts as cancelling

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void onSelectionChanged();
    bool handleKey(int key);
    void finish(bool cancel);

    QListWidget *m_list;
    bool m_cancel = false;
    double m_dtTime = 0;
};

#pragma once

#include <QWidget>

// The hourglass over a dialog while it stores; the arrow again when the
// store ends, however it ends. A message box it raises meanwhile keeps its
// own pointer.
class BusyDialog
{
public:
    explicit BusyDialog(QWidget *dialog) : m_dialog(dialog) { m_dialog->setCursor(Qt::WaitCursor); }
    ~BusyDialog() { m_dialog->unsetCursor(); }
    BusyDialog(const BusyDialog &) = delete;
    BusyDialog &operator=(const BusyDialog &) = delete;

private:
    QWidget *m_dialog;
};

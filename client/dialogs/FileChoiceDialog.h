#pragma once

#include <QFileDialog>

class cCommonDialog;

// The Qt file dialog that can refuse its OK: when the chosen file's folder
// must exist and does not, or when a DialogOK handler of the events object
// refuses it.
class FileChoiceDialog : public QFileDialog
{
public:
    FileChoiceDialog(QWidget *owner, bool pathMustExist, cCommonDialog *events);
    void accept() override;

private:
    bool m_pathMustExist;
    cCommonDialog *m_events;
};

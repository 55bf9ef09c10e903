#include "FileChoiceDialog.h"

#include "cCommonDialog.h"

#include <QDir>
#include <QFileInfo>

FileChoiceDialog::FileChoiceDialog(QWidget *owner, bool pathMustExist, cCommonDialog *events)
    : QFileDialog(owner), m_pathMustExist(pathMustExist), m_events(events)
{
    // The desktop's own dialog cannot tell us what happens inside it.
    setOption(QFileDialog::DontUseNativeDialog, events != nullptr);
    if (!events)
        return;
    connect(this, &QFileDialog::currentChanged, events, [this] { emit m_events->FileChange(this); });
    connect(this, &QFileDialog::directoryEntered, events, [this] { emit m_events->FolderChange(this); });
    connect(this, &QFileDialog::filterSelected, events, [this] { emit m_events->TypeChange(this); });
}

void FileChoiceDialog::accept()
{
    const QStringList chosen = selectedFiles();
    if (m_pathMustExist && !chosen.isEmpty() && !QFileInfo(chosen.first()).absoluteDir().exists())
        return;
    if (m_events && !m_events->ConfirmOK())
        return;
    QFileDialog::accept();
}

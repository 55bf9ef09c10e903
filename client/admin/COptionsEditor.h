#pragma once

#include "OptionsSetup.h"
#include "foundation/IUserEditor.h"

#include <functional>

class frmOptions;

// Opens the options dialog on a user and, when it was accepted, makes the
// main window show what was saved. The dialog is shown through a runner that
// tests replace, so they drive it without a modal loop.
class COptionsEditor : public IUserEditor
{
public:
    using Runner = std::function<void(frmOptions &)>;

    COptionsEditor();
    explicit COptionsEditor(Runner runner);

    qint32 EditUserProperties(bool newUser, const QString &loginName, bool adminEditable, bool self, bool atLogin,
                              bool addAnother) override;

private:
    static void afterDialog(const frmOptions &form, const OptionsSetup &setup);

    Runner m_runDialog;
};

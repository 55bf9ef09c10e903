#pragma once

#include "foundation/CTreeNode.h"
#include "IconSelector.h"

#include <QDialog>

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;

// Adds a navigation-tree node under a parent or edits one: its name, kind,
// tool tip, web address and icon.
//
//     frmAddGroup dialog(pictures, owner);  // pictures: the main window's icon list
//     dialog.newNode(parentID);             // or dialog.populateForm(nodeID)
//     dialog.exec();
//     if (!dialog.Cancel) ... dialog.oNode holds the stored node
//
// OK stores the node through CTreeNode::save, which also puts it into
// g_colTreeNodes; a refused or failed save keeps the dialog open.
class frmAddGroup : public QDialog
{
    Q_OBJECT
public:
    explicit frmAddGroup(const QList<IconSelector::Picture> &pictures, QWidget *parent = nullptr);

    bool Cancel = true;
    CTreeNode oNode;

    void newNode(qint32 parentID);
    void populateForm(qint32 nodeID);

    void OK_Click();
    void cmdCancel_Click();

    // The kinds in the order the list offers them.
    static const QStringList &kindCodes();

    QLineEdit *txtName, *txtToolTip, *txtURL;
    QComboBox *cboType;
    IconSelector *IconSelector1;
    QLabel *lblGroupTitle;
    QPushButton *OK, *cmdCancel;

protected:
    void changeEvent(QEvent *event) override;
    // Escape and the title bar's close are the Cancel button.
    void reject() override { cmdCancel_Click(); }

private:
    void populateStrings();
    void cboType_Click(int index);
};

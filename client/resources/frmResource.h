#pragma once

#include "CResource.h"

#include <QDialog>
#include <QIcon>

#include <functional>

class QCheckBox;
class QComboBox;
class QLineEdit;
class QPushButton;

// Adds a resource to a resource group or edits one. Prepare it with
// newResource or populateForm, show it modally; after it hides, Cancel says
// whether oRes was stored.
class frmResource : public QDialog
{
    Q_OBJECT
public:
    // A node's picture by its icon key, from the large picture list.
    using PictureOf = std::function<QIcon(const QString &key)>;

    // The group box shows each group with its picture when `picture` is given.
    explicit frmResource(QWidget *parent = nullptr, const PictureOf &picture = {});

    bool Cancel = true;
    CResource oRes;

    // A new resource for the group (-1: the user picks one). A group given
    // is fixed: the resource goes where it was added.
    void newResource(qint32 groupId);
    void populateForm(qint32 resourceId);
    // The group chosen, or -1.
    qint32 getParentGroupID() const;

    // The labels of what OK would find missing, in order.
    QStringList missingItems() const;

    void OK_Click();
    void cmdCancel_Click();

    QLineEdit *txtName = nullptr, *txtCode = nullptr, *txtLocation = nullptr;
    QComboBox *icboGroup = nullptr;
    QCheckBox *chkAutoCheckIn = nullptr;
    QPushButton *OK = nullptr, *cmdCancel = nullptr;

protected:
    void showEvent(QShowEvent *event) override;
    // Escape and the title bar's close are the Cancel button.
    void reject() override { cmdCancel_Click(); }

private:
    void selectGroup(qint32 groupId);
};

#pragma once

#include <QIdentityProxyModel>

class CImageList;

// Shows a list model's rows with pictures from an image list: a row (or a
// column header) names its picture by key under IconKeyRole, as the list
// fillers do, and the view's current image list supplies it.
class ImageListProxyModel : public QIdentityProxyModel
{
    Q_OBJECT
public:
    static constexpr int IconKeyRole = Qt::UserRole + 1;

    using QIdentityProxyModel::QIdentityProxyModel;

    void setImageList(const CImageList *list);
    const CImageList *imageList() const { return m_list; }

    QVariant data(const QModelIndex &index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

private:
    QVariant picture(const QVariant &key) const;

    const CImageList *m_list = nullptr;
};

#pragma once

#include <QWidget>

class QListWidget;
class QStackedWidget;

// Pages chosen from a list of their names beside them, so that every page is
// in sight at once (a row of eleven tabs does not fit a dialog of ordinary
// width, and the scroller it gets is easily missed). It answers the calls a
// tab widget takes, with the same meaning.
class PageList : public QWidget
{
    Q_OBJECT
public:
    explicit PageList(QWidget *parent = nullptr);

    int addTab(QWidget *page, const QString &caption);
    int count() const;
    QString tabText(int index) const;
    void setTabText(int index, const QString &caption);
    bool isTabEnabled(int index) const;
    // A page switched off while shown gives way to the next one that is on.
    void setTabEnabled(int index, bool enabled);
    int currentIndex() const;
    void setCurrentIndex(int index);

private:
    void fitListToNames();

    QListWidget *m_names;
    QStackedWidget *m_pages;
};

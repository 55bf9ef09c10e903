#include "PageList.h"

#include <QHBoxLayout>
#include <QListWidget>
#include <QStackedWidget>

PageList::PageList(QWidget *parent) : QWidget(parent)
{
    m_names = new QListWidget(this);
    m_names->setObjectName(QStringLiteral("pageNames"));
    m_names->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_names->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_pages = new QStackedWidget(this);
    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_names);
    layout->addWidget(m_pages, 1);
    connect(m_names, &QListWidget::currentRowChanged, m_pages, &QStackedWidget::setCurrentIndex);
}

int PageList::addTab(QWidget *page, const QString &caption)
{
    const int index = m_pages->addWidget(page);
    m_names->addItem(caption);
    if (m_names->currentRow() < 0)
        m_names->setCurrentRow(index);
    fitListToNames();
    return index;
}

int PageList::count() const
{
    return m_pages->count();
}

QString PageList::tabText(int index) const
{
    const QListWidgetItem *name = m_names->item(index);
    return name ? name->text() : QString();
}

void PageList::setTabText(int index, const QString &caption)
{
    if (QListWidgetItem *name = m_names->item(index)) {
        name->setText(caption);
        fitListToNames();
    }
}

bool PageList::isTabEnabled(int index) const
{
    const QListWidgetItem *name = m_names->item(index);
    return name && name->flags().testFlag(Qt::ItemIsEnabled);
}

void PageList::setTabEnabled(int index, bool enabled)
{
    QListWidgetItem *name = m_names->item(index);
    if (!name)
        return;
    name->setFlags(enabled ? Qt::ItemIsEnabled | Qt::ItemIsSelectable : Qt::NoItemFlags);
    m_pages->widget(index)->setEnabled(enabled);
    if (enabled || index != currentIndex())
        return;
    for (int step = 1; step < count(); ++step) {
        const int next = (index + step) % count();
        if (isTabEnabled(next)) {
            setCurrentIndex(next);
            return;
        }
    }
}

int PageList::currentIndex() const
{
    return m_pages->currentIndex();
}

void PageList::setCurrentIndex(int index)
{
    if (index >= 0 && index < count())
        m_names->setCurrentRow(index);
}

// Every name shows whole, without scrolling.
void PageList::fitListToNames()
{
    const int frame = 2 * m_names->frameWidth();
    m_names->setFixedWidth(m_names->sizeHintForColumn(0) + frame + 8);
    m_names->setMinimumHeight(m_names->sizeHintForRow(0) * m_names->count() + frame);
}

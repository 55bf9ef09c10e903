#include "PageWeight.h"

#include <QCoreApplication>

namespace {

// Units of one plain character, as measured on the text browser at the
// pane's usual width: a block costs about ten characters, a picture's
// placeholder about as much, a mark beside its letter about four, a table
// cell about fifty and a table itself about sixty, before the tables
// around them.
constexpr qint64 kElementUnits = 10;
constexpr qint64 kPictureUnits = 10;
constexpr qint64 kMarkUnits = 4;
constexpr qint64 kCellUnits = 48;
constexpr qint64 kTableUnits = 64;

QString pastLimit(const char *what, qint64 limit)
{
    return QCoreApplication::translate("PageWeight", what).arg(limit);
}

} // namespace

QString PageWeight::tooLarge()
{
    return QCoreApplication::translate("PageWeight", "it is larger than %1 KB").arg(ByteLimit / 1024);
}

bool PageWeight::enter(int depth)
{
    if (depth > NestLimit)
        return refuse(pastLimit("it nests its elements more than %1 deep", NestLimit));
    return m_why.isEmpty();
}

bool PageWeight::element(int tableDepth)
{
    if (++m_elements > ElementLimit)
        return refuse(pastLimit("it holds more than %1 elements", ElementLimit));
    return charge(kElementUnits << tableDepth);
}

bool PageWeight::picture(int tableDepth)
{
    if (++m_pictures > PictureLimit)
        return refuse(pastLimit("it holds more than %1 pictures", PictureLimit));
    return charge(kPictureUnits << tableDepth);
}

bool PageWeight::table(int tableDepth)
{
    return charge(kTableUnits << tableDepth);
}

bool PageWeight::row(qint64 added, int tableDepth)
{
    m_cells += added;
    if (m_cells > CellLimit)
        return refuse(pastLimit("its tables hold more than %1 cells", CellLimit));
    return charge((added * kCellUnits) << tableDepth);
}

bool PageWeight::text(qsizetype characters, qsizetype marks, int tableDepth)
{
    return charge((characters + marks * kMarkUnits) << tableDepth);
}

bool PageWeight::charge(qint64 units)
{
    m_cost += units;
    return m_why.isEmpty();
}

bool PageWeight::refuse(const QString &why)
{
    if (m_why.isEmpty())
        m_why = why;
    return false;
}

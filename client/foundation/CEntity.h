#pragma once

#include <QString>

// One selected list item, identified by its key ("USR12", "RES7", "TOP").
class CEntity
{
public:
    qint32 ID = 0;
    QString Name;

    void setKey(const QString &key);
    QString Key() const { return m_key; }

private:
    QString m_key;
};

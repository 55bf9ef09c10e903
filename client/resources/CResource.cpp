#include "CResource.h"

#include "StoredFields.h"
#include "foundation/CounterAllocator.h"
#include "foundation/MADOFunctions.h"
#include "foundation/RaiseAs.h"
#include "platform/StoredText.h"

void CResource::save()
{
    if (ID < 1)
        Add();
    else
        Update();
}

void CResource::Add()
{
    raisingAs(QStringLiteral("CResource.Add"), [&] {
        DbHandle connection;
        qint32 id = 0;
        CounterAllocator::inWriteTransaction(connection, [&](DbConnection &c) {
            id = CounterAllocator::nextId(c, QStringLiteral("resrce"), 2, true);
            c.execute(QStringLiteral("INSERT INTO Resource (ID, Name, Code, Location, GroupID, AutoCheckIn) "
                                     "VALUES (?, ?, ?, ?, ?, ?)"),
                      {id, EncodeQuotes(Name), EncodeQuotes(code), EncodeQuotes(Location), GroupID, AutoCheckIn ? 1 : 0});
        });
        ID = id;
    });
}

void CResource::Update()
{
    raisingAs(QStringLiteral("CResource.Update"), [&] {
        DbHandle connection;
        ::Update(QStringLiteral("UPDATE Resource SET Name = ?, Code = ?, Location = ?, GroupID = ?, AutoCheckIn = ? "
                                "WHERE ID = ?"),
                 connection, {EncodeQuotes(Name), EncodeQuotes(code), EncodeQuotes(Location), GroupID,
                              AutoCheckIn ? 1 : 0, ID});
    });
}

void CResource::Delete(qint32 iID)
{
    const qint32 id = iID == -1 ? ID : iID;
    raisingAs(QStringLiteral("CResource.Delete"), [&] {
        DbHandle connection;
        CounterAllocator::inWriteTransaction(connection, [&](DbConnection &c) {
            c.execute(QStringLiteral("DELETE FROM Reservation WHERE ResourceID = ?"), {id});
            c.execute(QStringLiteral("DELETE FROM Resource WHERE ID = ?"), {id});
        });
    });
    ID = -1;
}

void CResource::Read(qint32 iID)
{
    raisingAs(QStringLiteral("CResource.Read"), [&] {
        DbHandle connection;
        const RecordSet rs =
            OpenADORecordSet(connection, QStringLiteral("SELECT * FROM Resource WHERE ID = ?"), true, {iID});
        if (rs.eof())
            throw AppError(ErrNo::Raised, QStringLiteral("CResource.Read"),
                           QStringLiteral("The resource %1 no longer exists.").arg(iID));
        ID = qint32(rs.integer(QStringLiteral("ID")));
        GroupID = qint32(rs.integer(QStringLiteral("GroupID")));
        Name = storedText(rs, QStringLiteral("Name"));
        code = storedText(rs, QStringLiteral("Code"));
        Location = storedText(rs, QStringLiteral("Location"));
        AutoCheckIn = rs.integer(QStringLiteral("AutoCheckIn")) == 1;
    });
}

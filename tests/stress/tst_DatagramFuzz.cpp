#include "DatagramExercise.h"
#include "foundation/MErrorHandler.h"

#include <QRandomGenerator>
#include <QtTest>

// The datagram reader under a seeded random generator: datagrams of every
// type, well formed and then broken in every way a network or a hostile
// sender could, fed to the codec and to two copies' protocols and boards.
// Nothing may crash, trip a sanitizer or break what DatagramExercise checks.

namespace {

constexpr int kDatagramsPerSeed = 15000;

class DatagramGenerator
{
public:
    explicit DatagramGenerator(quint32 seed) : m_random(seed) {}

    QByteArray next()
    {
        QByteArray datagram = wellFormed();
        // Half go out as built, so that many get past the reader.
        for (int n = m_random.bounded(2) ? 0 : int(m_random.bounded(1, 4)); n > 0; --n)
            mutate(datagram);
        return datagram;
    }

private:
    QByteArray pick(const QList<QByteArray> &choices) { return choices.at(m_random.bounded(int(choices.size()))); }

    QByteArray number()
    {
        switch (m_random.bounded(10)) {
        case 0: case 1: case 2: case 3: case 4: case 5: return QByteArray::number(m_random.bounded(-3, 12000));
        case 6: case 7: return QByteArray::number(qint32(m_random.generate()));
        case 8: return pick({"2147483647", "-2147483648", "2147483648", "-2147483649", "99999999999", "0", "-0",
                             "", " 12", "12 ", "+12", "1.5", "0x1f", "1e3", "\xef\xbc\x91\xef\xbc\x92"});
        default: return QByteArray::number(m_random.generateDouble() * 1e6, 'f', 6);
        }
    }

    QByteArray boardUser() { return QByteArray::number(m_random.bounded(1, DatagramExercise::BoardUsers + 1)); }

    QByteArray day()
    {
        return pick({"46000.5", "0", "-657434", "-657435", "2958465.99999", "2958466", "1e308", "-1e308", "nan",
                     "inf", "-inf", "46000,5", "4.6e4", "", "abc", "46000.123456789012345678"})
            + (m_random.bounded(2) ? QByteArray() : QByteArray::number(m_random.generateDouble() * 50000, 'g', 17));
    }

    QByteArray text()
    {
        switch (m_random.bounded(5)) {
        case 0: return QByteArray();
        case 1: return "Room";
        case 2: return QByteArray(int(m_random.bounded(1, 6000)), 'x');
        case 3: return pick({"it's", "a#!b", "#!#!", "\xc3", "\xff\xfe", "\xe2\x82\xac", "\xf0\x9f\x98\x80", "\0",
                             "/3/", "/4/17/", "*"});
        default: {
            QByteArray bytes(int(m_random.bounded(1, 40)), '\0');
            for (char &c : bytes)
                c = char(m_random.bounded(256));
            return bytes;
        }
        }
    }

    QByteArray wellFormed()
    {
        const QByteArray type = pick({"s", "s", "s", "s", "s", "r", "r", "m", "c", "i", "j", "l", "w", "x", ""});
        QList<QByteArray> fields;
        if (type == "s")
            fields = {number(), m_random.bounded(2) ? boardUser() : number(),
                      pick({"OUT", "INN", "LNC", "X01", "", "out", "<b>BOLD</b>"}), text(), day(), day()};
        else if (type == "r")
            fields = {number()};
        else if (type == "i")
            fields = {number(), text(), number(), text()};
        else if (type == "m" || type == "j" || type == "l")
            fields = {QByteArray(), text(), text(), text()};
        else
            fields = {number(), text(), text(), text()};
        fields = fields.mid(0, int(m_random.bounded(int(fields.size()) + 1)) + (m_random.bounded(3) ? 99 : 0));
        QByteArray datagram = type;
        for (const QByteArray &field : fields)
            datagram += field + "#!";
        return datagram;
    }

    void mutate(QByteArray &datagram)
    {
        const int at = datagram.isEmpty() ? 0 : int(m_random.bounded(int(datagram.size()) + 1));
        switch (m_random.bounded(6)) {
        case 0: datagram.insert(at, "#!"); break;
        case 1: datagram.truncate(at); break;
        case 2: datagram.remove(at, int(m_random.bounded(1, 8))); break;
        case 3:
            if (at < datagram.size())
                datagram[at] = char(m_random.bounded(256));
            break;
        case 4: datagram.insert(at, text()); break;
        default: datagram += datagram.mid(at); break;
        }
    }

    QRandomGenerator m_random;
};

} // namespace

class tst_DatagramFuzz : public QObject
{
    Q_OBJECT

private slots:
    void randomDatagramsHandledSafely_data()
    {
        QTest::addColumn<quint32>("seed");
        for (quint32 seed : {11u, 22u, 33u})
            QTest::addRow("seed %u", seed) << seed;
    }
    void randomDatagramsHandledSafely()
    {
        QFETCH(quint32, seed);
        TestEnvironment env;
        // Every datagram goes to the debug log; the log of a long run is of no use.
        SetLogFolder(QStringLiteral("/dev/null"));
        DatagramExercise exercise(env);
        DatagramGenerator generator(seed);
        int readable = 0;
        for (int i = 0; i < kDatagramsPerSeed; ++i) {
            const QByteArray datagram = generator.next();
            readable += MCastCodec::readStatusUpdate(MCastCodec::fromWire(datagram)) ? 1 : 0;
            const QString failure = exercise.feed(datagram);
            if (!failure.isEmpty())
                QFAIL(qPrintable(failure + QStringLiteral(" on datagram %1: ").arg(i) + QString::fromLatin1(datagram.toHex())));
        }
        // Enough of them get past the reader to reach the window and the list.
        qInfo("%d of %d datagrams were readable status updates", readable, kDatagramsPerSeed);
        QVERIFY(readable > kDatagramsPerSeed / 20);
    }
};

QTEST_GUILESS_MAIN(tst_DatagramFuzz)
#include "tst_DatagramFuzz.moc"

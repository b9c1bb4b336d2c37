#include "data/MasterList.h"

#include <QTest>

#include <random>

using namespace halvex;

class TestMasterList : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void sortedOrder_data();
    void sortedOrder();
    void sortedMatchesInsertionOnRandomNames();
};

namespace {

// Each name inserted after every name before it that compares equal or lower: the order the lane
// boxes were filled in one name at a time.
QStringList insertedOneByOne(const QStringList& names)
{
    QStringList list;
    for (const QString& name : names) {
        qsizetype at = 0;
        while (at < list.size() && compareListNames(list[at], name) <= 0)
            ++at;
        list.insert(at, name);
    }
    return list;
}

} // namespace

void TestMasterList::sortedOrder_data()
{
    QTest::addColumn<QStringList>("names");
    QTest::addColumn<QStringList>("sorted");
    QTest::newRow("none") << QStringList() << QStringList();
    QTest::newRow("case keeps file order") << QStringList{"adam", "Bob", "ADAM", "Adam", "bob"}
                                           << QStringList{"adam", "ADAM", "Adam", "Bob", "bob"};
    QTest::newRow("case keeps file order, reversed")
        << QStringList{"Adam", "ADAM", "adam"} << QStringList{"Adam", "ADAM", "adam"};
    QTest::newRow("accents among the plain letters")
        << QStringList{"Nagel", "Müller", "MÜLLER", "Muller", "Mzz", "Mueller", "Lange", "Maier"}
        << QStringList{"Lange", "Maier", "Mueller", "Muller", "Müller", "MÜLLER", "Mzz", "Nagel"};
    QTest::newRow("blanks") << QStringList{"Bobby", "Bob Diaz", "Bob ", "Bob  Diaz", " Bob", "Bob"}
                            << QStringList{" Bob", "Bob", "Bob ", "Bob  Diaz", "Bob Diaz", "Bobby"};
    QTest::newRow("digits are not numbers")
        << QStringList{"Car 9", "Car 10", "Car", "7 Up", "Car 1"}
        << QStringList{"7 Up", "Car", "Car 1", "Car 10", "Car 9"};
    // A name of control characters only has no weight; the empty name still goes first.
    QTest::newRow("empty names first") << QStringList{"b", "", "\x02", "a", "\x01", ""}
                                       << QStringList{"", "", "\x02", "\x01", "a", "b"};
    QTest::newRow("duplicates") << QStringList{"Carla", "carla", "Bob", "Carla", "CARLA", "Bob"}
                                << QStringList{"Bob", "Bob", "Carla", "carla", "Carla", "CARLA"};
}

void TestMasterList::sortedOrder()
{
    QFETCH(QStringList, names);
    QFETCH(QStringList, sorted);
    QCOMPARE(sortedListNames(names), sorted);
    QCOMPARE(insertedOneByOne(names), sorted);
}

void TestMasterList::sortedMatchesInsertionOnRandomNames()
{
    const QStringList pieces = {"a", "A", "ä", "Ä", "b", "B", " ", "1", "-", "'", "\x01", "é"};
    std::mt19937 random(7);
    QStringList names;
    for (int i = 0; i < 600; ++i) {
        QString name;
        for (auto length = random() % 5; length > 0; --length)
            name += pieces[random() % pieces.size()];
        names.append(name);
    }
    QCOMPARE(sortedListNames(names), insertedOneByOne(names));
}

QTEST_GUILESS_MAIN(TestMasterList)
#include "tst_master_list.moc"

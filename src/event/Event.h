#pragma once

#include <QDate>
#include <QString>
#include <QStringList>

#include <memory>
#include <vector>

namespace halvex {

class EventDatabase;

// How a class evens out its cars, which its tree decides: not at all, one index for the whole
// class (both lanes), or each entry's own dial-in.
enum class Handicap
{
    HeadsUp,
    Index,
    DialIn
};
// The tree list's positions: "Full Tree", "Full Tree with Index", "Full Tree with Dial-In",
// "Pro-Tree", "Pro-Tree with Index".
Handicap handicapOfTree(int tree);

enum class LadderKind
{
    Fixed,   // seeded once: 1 and 2 can meet only in the final
    Repaired // best remaining against worst remaining, each round anew
};

struct EventClass
{
    QString name;
    int tree = 0;      // the tree list's position, 0 to 4
    float index = 0;   // the class's index when its tree has one
    int fieldSize = 8; // 4, 8, 16, 32 or 64, bump spot included
    LadderKind ladder = LadderKind::Fixed;

    bool operator==(const EventClass&) const = default;
};

struct Entry
{
    qint64 id = 0;
    QString className;
    QString racer;
    QString car;
    QString carNumber;
    float dialIn = 0; // 0: none given

    bool operator==(const Entry&) const = default;
};

// An event: its name and day, its classes with their rules, and its entries, kept in its own
// event database. Every change is one transaction; each throws halvex::Failure with what the
// operator is told.
class Event
{
public:
    // Makes a new event file; refuses a file that exists or a class list that is not valid.
    static std::unique_ptr<Event> create(const QString& path, const QString& name, QDate day,
                                         const std::vector<EventClass>& classes);
    // Opens an existing one (read-only when damaged: see EventDatabase).
    explicit Event(const QString& path);
    ~Event();
    Event(const Event&) = delete;
    Event& operator=(const Event&) = delete;

    EventDatabase& database() { return *m_db; }
    const EventDatabase& database() const { return *m_db; }
    QString name() const;
    QDate day() const;
    std::vector<EventClass> classes() const;
    std::vector<Entry> entries() const;

    // An entry as the operator typed or picked it; refused with the reason when not valid.
    Entry addEntry(Entry entry);
    // Takes an entry out of the event; refused once it is in a qualifying draw, a pass or a
    // ladder, which must not lose their racer (a no-show is scratched there instead).
    void removeEntry(qint64 id);
    // Entries from comma-separated text whose first row names the columns "Racer", "Car",
    // "Class", "Car Number" and "Dial-In" (in any order, the last two may be left out). All
    // lines are taken or none: the result lists each refused line with its reason, and is empty
    // when every line was taken.
    QStringList importEntries(const QByteArray& csv);

    // A consistent copy of the event under another name; refuses to overwrite a file.
    void saveCopy(const QString& path) const;

    // Why an event's class list cannot be used, or empty.
    static QString checkClasses(const std::vector<EventClass>& classes);

private:
    explicit Event(std::unique_ptr<EventDatabase> db);
    // Why the entry cannot be added to the event as it stands, or empty.
    QString refusal(const Entry& entry, const std::vector<Entry>& entered) const;
    void insert(Entry& entry);

    std::unique_ptr<EventDatabase> m_db;
};

// What an entry's change is stamped with: the station's clock, as passes are (the stations at
// one track keep one time), to the millisecond.
QString entryChangeStamp();

// The event files of a folder, the one changed last first.
QStringList eventFiles(const QString& folder);

} // namespace halvex

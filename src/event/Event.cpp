#include "event/Event.h"

#include "data/CsvText.h"
#include "data/Numbers.h"
#include "event/EventDatabase.h"
#include "platform/Failure.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QSet>
#include <QSqlQuery>

namespace halvex {

namespace {

const QString kFixed = QStringLiteral("fixed");
const QString kRepaired = QStringLiteral("repaired");

QString key(const QString& text)
{
    return text.trimmed().toCaseFolded();
}

} // namespace

QString entryChangeStamp()
{
    return QDateTime::currentDateTime().toString(Qt::ISODateWithMs);
}

Handicap handicapOfTree(int tree)
{
    switch (tree) {
    case 1:
    case 4:
        return Handicap::Index;
    case 2:
        return Handicap::DialIn;
    default:
        return Handicap::HeadsUp;
    }
}

QString Event::checkClasses(const std::vector<EventClass>& classes)
{
    if (classes.empty())
        return QStringLiteral("An event needs at least one class.");
    QSet<QString> names;
    for (const EventClass& c : classes) {
        if (c.name.trimmed().isEmpty())
            return QStringLiteral("A class needs a name.");
        if (names.contains(key(c.name)))
            return QStringLiteral("The class \"%1\" is there twice.").arg(c.name.trimmed());
        names.insert(key(c.name));
        if (c.tree < 0 || c.tree > 4)
            return QStringLiteral("The class \"%1\" has no tree.").arg(c.name.trimmed());
        if (handicapOfTree(c.tree) == Handicap::Index && !(c.index > 0))
            return QStringLiteral("The class \"%1\" needs its index, a number above 0.")
                .arg(c.name.trimmed());
        if (!QList<int>{4, 8, 16, 32, 64}.contains(c.fieldSize))
            return QStringLiteral("The field of the class \"%1\" must be 4, 8, 16, 32 or 64 cars.")
                .arg(c.name.trimmed());
    }
    return {};
}

std::unique_ptr<Event> Event::create(const QString& path, const QString& name, QDate day,
                                     const std::vector<EventClass>& classes)
{
    if (name.trimmed().isEmpty())
        throw Failure(QStringLiteral("The event needs a name."));
    if (const QString why = checkClasses(classes); !why.isEmpty())
        throw Failure(why);
    if (QFileInfo::exists(path))
        throw Failure(QStringLiteral("The file \"%1\" exists already: choose another name.")
                          .arg(QDir::toNativeSeparators(path)));
    std::unique_ptr<Event> event(new Event(std::make_unique<EventDatabase>(path)));
    EventDatabase& db = *event->m_db;
    db.write([&] {
        db.run(QStringLiteral("INSERT INTO event (name, event_date, created) VALUES (?, ?, ?)"),
               {name.trimmed(), day.toString(Qt::ISODate),
                QDateTime::currentDateTime().toString(Qt::ISODateWithMs)});
        int position = 0;
        for (const EventClass& c : classes)
            db.run(QStringLiteral("INSERT INTO event_class (name, position, tree, class_index, "
                                  "field_size, ladder) VALUES (?, ?, ?, ?, ?, ?)"),
                   {c.name.trimmed(), position++, c.tree, double(c.index), c.fieldSize,
                    c.ladder == LadderKind::Fixed ? kFixed : kRepaired});
    });
    return event;
}

Event::Event(const QString& path) : m_db(std::make_unique<EventDatabase>(path)) {}

Event::Event(std::unique_ptr<EventDatabase> db) : m_db(std::move(db)) {}

Event::~Event() = default;

QString Event::name() const
{
    return m_db->value(QStringLiteral("SELECT name FROM event")).toString();
}

QDate Event::day() const
{
    return QDate::fromString(m_db->value(QStringLiteral("SELECT event_date FROM event")).toString(),
                             Qt::ISODate);
}

std::vector<EventClass> Event::classes() const
{
    std::vector<EventClass> classes;
    QSqlQuery q = m_db->run(QStringLiteral("SELECT name, tree, class_index, field_size, ladder "
                                           "FROM event_class ORDER BY position"));
    while (q.next())
        classes.push_back(EventClass{q.value(0).toString(), q.value(1).toInt(),
                                     float(q.value(2).toDouble()), q.value(3).toInt(),
                                     q.value(4).toString() == kRepaired ? LadderKind::Repaired
                                                                        : LadderKind::Fixed});
    return classes;
}

std::vector<Entry> Event::entries() const
{
    std::vector<Entry> entries;
    QSqlQuery q = m_db->run(QStringLiteral(
        "SELECT id, class_name, racer, car, car_number, dial_in FROM entry ORDER BY id"));
    while (q.next())
        entries.push_back(Entry{q.value(0).toLongLong(), q.value(1).toString(),
                                q.value(2).toString(), q.value(3).toString(), q.value(4).toString(),
                                float(q.value(5).toDouble())});
    return entries;
}

QString Event::refusal(const Entry& e, const std::vector<Entry>& entered) const
{
    if (e.racer.trimmed().isEmpty())
        return QStringLiteral("The racer's name is blank.");
    const std::vector<EventClass> all = classes();
    const auto c = std::find_if(all.begin(), all.end(), [&](const EventClass& c) {
        return key(c.name) == key(e.className);
    });
    if (c == all.end())
        return QStringLiteral("There is no class \"%1\" in this event.").arg(e.className.trimmed());
    if (handicapOfTree(c->tree) == Handicap::DialIn && !(e.dialIn > 0))
        return QStringLiteral("The class \"%1\" races on dial-ins: the entry needs one, a number "
                              "above 0.")
            .arg(c->name);
    for (const Entry& other : entered)
        if (key(other.className) == key(e.className) && key(other.racer) == key(e.racer) &&
            key(other.car) == key(e.car))
            return QStringLiteral("%1 with the car \"%2\" is entered in %3 already.")
                .arg(e.racer.trimmed(), e.car.trimmed(), c->name);
    return {};
}

void Event::insert(Entry& e)
{
    e.id = m_db->value(QStringLiteral("SELECT COALESCE(MAX(id), 0) + 1 FROM entry")).toLongLong();
    const std::vector<EventClass> all = classes();
    for (const EventClass& c : all)
        if (key(c.name) == key(e.className))
            e.className = c.name;
    e.racer = e.racer.trimmed();
    e.car = e.car.trimmed();
    e.carNumber = e.carNumber.trimmed();
    m_db->run(
        QStringLiteral("INSERT INTO entry (id, class_name, racer, car, car_number, dial_in, "
                       "changed) VALUES (?, ?, ?, ?, ?, ?, ?)"),
        {e.id, e.className, e.racer, e.car, e.carNumber, double(e.dialIn), entryChangeStamp()});
}

Entry Event::addEntry(Entry entry)
{
    if (const QString why = refusal(entry, entries()); !why.isEmpty())
        throw Failure(why);
    m_db->write([&] { insert(entry); });
    return entry;
}

void Event::removeEntry(qint64 id)
{
    m_db->write([&] {
        const QString racer =
            m_db->value(QStringLiteral("SELECT racer FROM entry WHERE id = ?"), {id}).toString();
        const int uses =
            m_db->value(QStringLiteral("SELECT (SELECT COUNT(*) FROM draw WHERE left_entry = ? OR "
                                       "right_entry = ?) + (SELECT COUNT(*) FROM pass WHERE "
                                       "entry_id = ?) + (SELECT COUNT(*) FROM ladder_seed WHERE "
                                       "entry_id = ?)"),
                        {id, id, id, id})
                .toInt();
        if (uses > 0)
            throw Failure(QStringLiteral("%1 has been drawn or has raced in this event and stays "
                                         "entered: scratch a no-show in the round instead.")
                              .arg(racer));
        m_db->run(QStringLiteral("DELETE FROM entry WHERE id = ?"), {id});
    });
}

QStringList Event::importEntries(const QByteArray& csv)
{
    QByteArray text = csv;
    if (text.startsWith("\xEF\xBB\xBF"))
        text.remove(0, 3);
    const QList<QStringList> rows = parseCsv(text);
    QHash<QString, qsizetype> column;
    if (!rows.isEmpty())
        for (qsizetype i = 0; i < rows[0].size(); ++i)
            column.insert(key(rows[0][i]), i);
    for (const char* needed : {"racer", "car", "class"})
        if (!column.contains(QLatin1String(needed)))
            return {QStringLiteral("The first line must name the columns Racer, Car and Class "
                                   "(Car Number and Dial-In may follow).")};

    std::vector<Entry> entered = entries();
    std::vector<Entry> taken;
    QStringList refused;
    for (qsizetype line = 1; line < rows.size(); ++line) {
        const QStringList& row = rows[line];
        if (std::all_of(row.begin(), row.end(),
                        [](const QString& f) { return f.trimmed().isEmpty(); }))
            continue;
        const auto field = [&](const char* name) {
            const qsizetype at = column.value(QLatin1String(name), -1);
            return at >= 0 && at < row.size() ? row[at].trimmed() : QString();
        };
        Entry e{0, field("class"), field("racer"), field("car"), field("car number"), 0};
        const QString dialIn = field("dial-in");
        QString why;
        if (row.size() != rows[0].size())
            why = QStringLiteral("It has %1 fields where the first line names %2.")
                      .arg(row.size())
                      .arg(rows[0].size());
        else if (!dialIn.isEmpty() && !isNumeric(dialIn))
            why = QStringLiteral("The dial-in \"%1\" is not a number.").arg(dialIn);
        else {
            e.dialIn = dialIn.isEmpty() ? 0.0f : float(numericValue(dialIn));
            why = refusal(e, entered);
        }
        if (!why.isEmpty()) {
            refused.append(QStringLiteral("Line %1: %2").arg(line + 1).arg(why));
            continue;
        }
        entered.push_back(e);
        taken.push_back(e);
    }
    if (!refused.isEmpty())
        return refused;
    m_db->write([&] {
        for (Entry& e : taken)
            insert(e);
    });
    return {};
}

void Event::saveCopy(const QString& path) const
{
    if (QFileInfo::exists(path))
        throw Failure(QStringLiteral("The file \"%1\" exists already: choose another name.")
                          .arg(QDir::toNativeSeparators(path)));
    // The engine writes the copy from one read transaction: it is whole and consistent even
    // while passes are being written.
    m_db->run(QStringLiteral("VACUUM INTO ?"), {QFileInfo(path).absoluteFilePath()});
    // A run still going on goes on in the original: the copy's is settled, so that no start-up
    // takes it for a run that ended without quitting.
    EventDatabase copy(path);
    copy.write([&] {
        copy.run(QStringLiteral("UPDATE run SET settled = 1 WHERE ended IS NULL AND settled = 0"));
    });
}

QStringList eventFiles(const QString& folder)
{
    QStringList files;
    const QDir dir(folder);
    for (const QString& name : dir.entryList({QStringLiteral("*.sqlite")}, QDir::Files, QDir::Time))
        files.append(dir.filePath(name));
    return files;
}

} // namespace halvex

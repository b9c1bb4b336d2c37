#pragma once

#include "data/EventPairing.h"
#include "data/RaceLog.h"

#include <QDateTime>
#include <QString>

#include <array>
#include <optional>
#include <vector>

namespace halvex {

// Where the run's races are kept as they happen, so that a crash, a power cut or a forced quit
// loses none: a race is kept once its result is shown and marked committed when its result
// window closes. Every operation that writes throws halvex::Failure with the description of what
// failed; what a failed write left is taken back, and the next write tries it again first.
class RaceStore
{
public:
    virtual ~RaceStore() = default;

    // The races of a run that ended without quitting: every race kept, shown or committed.
    struct Unfinished
    {
        QString name;                    // the file or event the races come from
        std::vector<RaceRecord> records; // two a race, left lane first
        int races() const { return static_cast<int>(records.size() / 2); }
    };

    // What a race's records do not hold: each lane's result in a word ("win", "red light", ...),
    // and the event round's pair it ran, if any.
    struct PassContext
    {
        std::array<QString, 2> outcomes;
        std::optional<EventPairing> pairing;
    };

    virtual void raceShown(const RaceRecord& left, const RaceRecord& right,
                           const PassContext& context) = 0;
    virtual void raceCommitted(const RaceRecord& left, const RaceRecord& right) = 0;
    // Races taken back from an unfinished run, as committed races of this one.
    virtual void racesRestored(const std::vector<RaceRecord>& records) = 0;
    // The log was cleared: what follows is kept apart from what came before.
    virtual void logCleared(const QDateTime& now) = 0;
    // A clean quit.
    virtual void close() = 0;
    // False while races given to the store are not on the disk (a write failed and is tried
    // again with the next one).
    virtual bool keptAll() const = 0;

    // The last run's races when it never quit cleanly.
    virtual std::optional<Unfinished> findUnfinished() const = 0;
    // The unfinished run is dealt with (restored or declined): it is not offered again.
    virtual void markClosed(const Unfinished& run) = 0;
};

} // namespace halvex

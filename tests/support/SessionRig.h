#pragma once

#include "data/RaceLog.h"
#include "data/RaceStore.h"
#include "data/Settings.h"
#include "link/TimingUnit.h"
#include "platform/Failure.h"
#include "race/Credits.h"
#include "race/RaceSession.h"
#include "race/SetupModel.h"
#include "support/FakeServices.h"
#include "support/ScriptedPrompter.h"

#include <QTemporaryDir>
#include <QTest>

namespace halvex::test {

// Left: RT 0.0500, finish 1.0500; right: RT 0.0400, finish 1.0800: the left lane wins.
inline const QByteArray kReport = "0\n0\n500\n400\n2500\n2400\n4500\n4600\n8000\n8200\n10400\n"
                                  "10700\n10500\n10800\n0\n0\n0\n0\n!\n";

// Ann (Red) against Bob (Blue) in Stock.
inline RaceSetup annAgainstBob(int tree, DialIn left = "0", DialIn right = "0")
{
    return {.treeIndex = qint16(tree),
            .className = QStringLiteral("Stock"),
            .racerLeft = QStringLiteral("Ann"),
            .racerRight = QStringLiteral("Bob"),
            .carLeft = QStringLiteral("Red"),
            .carRight = QStringLiteral("Blue"),
            .dialInLeft = left,
            .dialInRight = right};
}

// The store's calls, in order; a store told to fail throws as a full disk does.
class MemoryStore final : public RaceStore
{
public:
    QStringList calls;
    bool failing = false;

    void raceShown(const RaceRecord& l, const RaceRecord&, const PassContext& c) override
    {
        note("shown", l);
        if (c.pairing)
            calls.last() +=
                u' ' + c.pairing->roundName + u' ' + c.outcomes[0] + u'/' + c.outcomes[1];
    }
    void raceCommitted(const RaceRecord& l, const RaceRecord&) override { note("committed", l); }
    void racesRestored(const std::vector<RaceRecord>& r) override { note("restored", r.front()); }
    void logCleared(const QDateTime&) override {}
    void close() override {}
    bool keptAll() const override { return !failing; }
    std::optional<Unfinished> findUnfinished() const override { return std::nullopt; }
    void markClosed(const Unfinished&) override {}

private:
    void note(const char* what, const RaceRecord& left)
    {
        if (failing)
            throw Failure(QStringLiteral("No space left on device"));
        calls.append(QStringLiteral("%1 %2").arg(QLatin1String(what)).arg(left.RaceNumber));
    }
};

struct SessionRig
{
    MemoryPort port;
    ScriptedPrompter prompter;
    SystemClock clock;
    QueuedRandom random;
    Settings settings;
    RaceLog log;
    MemoryStore store;
    QTemporaryDir dir;
    Credits credits{ProgramFolder(dir.path())};
    TimingUnit unit{port, prompter, clock, settings};
    SetupModel setup;
    RaceSession session{unit, setup, settings, log, store, credits, random, prompter};

    SessionRig()
    {
        port.opened = true;
        port.answers.insert("N\n", kReport);
        port.answers.insert("P\n", kReport);
        unit.command().setTimeLimit(std::chrono::milliseconds(100), std::chrono::milliseconds(10));
    }

    // Takes the session from Idle to the state asked for, the way a race goes.
    void reach(RaceSession::State state)
    {
        if (state == RaceSession::State::Idle)
            return;
        if (state == RaceSession::State::Awaiting)
            port.answers.clear();
        session.start();
        if (state == RaceSession::State::Delay)
            return;
        session.endDelay();
        if (state == RaceSession::State::Shown)
            QTRY_COMPARE(session.state(), RaceSession::State::Shown);
    }
    void finish(RaceSession::State expected) { QTRY_COMPARE(session.state(), expected); }
};

} // namespace halvex::test

#pragma once

#include "event/EventRounds.h"

#include <functional>

namespace halvex {
class HalvexApp;
class RoundsWindow;
} // namespace halvex

namespace halvex::test {

class ScriptedPrompter;

// An operator running the chosen event through the rounds windows: in Mode, Qualifications each
// class's rounds drawn from all its entries, in Mode, Eliminations each ladder started; every
// pair called with Next Pair, raced with Start Race and its result closed with OK, until nothing
// is left to run. It picks the event up wherever an earlier run left it.
class EventOperator
{
public:
    EventOperator(HalvexApp& app, ScriptedPrompter& prompter, EventRounds& rounds)
        : m_app(app), m_prompter(prompter), m_rounds(rounds)
    {}

    int qualifyingRounds = 1;
    // Called with each race's result on screen, and again once OK has closed it.
    std::function<void()> resultShown = [] {};
    std::function<void()> resultClosed = [] {};

    // Runs the event to its end: empty, or what a step did other than the operator expects.
    QString run();
    int races() const { return m_races; }

private:
    QString raceWhile(const std::function<bool()>& due, RoundsWindow& window);

    HalvexApp& m_app;
    ScriptedPrompter& m_prompter;
    EventRounds& m_rounds;
    int m_races = 0;
};

} // namespace halvex::test

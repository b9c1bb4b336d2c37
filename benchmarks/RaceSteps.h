#pragma once

#include "race/RaceSession.h"
#include "race/frmDragRacing.h"

#include <QCoreApplication>
#include <QElapsedTimer>

namespace halvex::bench {

// Races go on without the start delay's window, as if "Get Ready" were clicked at once.
inline void skipStartDelay(RaceSession& session)
{
    QObject::disconnect(&session, &RaceSession::delayStarted, nullptr, nullptr);
    QObject::connect(&session, &RaceSession::delayStarted, &session, &RaceSession::endDelay,
                     Qt::QueuedConnection);
}

// Runs the event loop until the race on its way has shown its result or ended.
inline void finishRace(const frmDragRacing& w)
{
    QElapsedTimer waited;
    waited.start();
    while (w.raceRunning() && waited.elapsed() < 30000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
}

} // namespace halvex::bench

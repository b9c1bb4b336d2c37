#pragma once

#include "data/EventPairing.h"

#include <QDateTime>
#include <QString>

#include <memory>
#include <optional>

namespace halvex {

class Event;
class Prompter;
class SettingsStore;

// File, Publish Results... and File, Publish After Every Pass: the chosen event's results page
// written into a folder of the operator's, which is remembered between runs with the switch
// (among the options kept under `app`, section "Event").
class ResultsPublishing
{
public:
    ResultsPublishing(Prompter& prompter, SettingsStore& store, QString app);
    ~ResultsPublishing();
    ResultsPublishing(const ResultsPublishing&) = delete;
    ResultsPublishing& operator=(const ResultsPublishing&) = delete;

    QString folder() const;
    bool afterEveryPass() const;

    // Asks for the folder, the one remembered proposed, and publishes there; a failure is told.
    void publishAsked(const QString& eventPath, const QDateTime& now,
                      const std::optional<EventPairing>& lanes);
    // Switched on without a folder remembered, asks for one and stays off when none is chosen.
    // Returns whether it is on.
    bool setAfterEveryPass(bool on);
    // The event changed (a pass, a correction, a pair called): published again when the operator
    // asked for it. Racing goes on whatever happens here: a failure is told once, and again only
    // after a publish has succeeded since.
    void eventChanged(const QString& eventPath, const QDateTime& now,
                      const std::optional<EventPairing>& lanes);

private:
    bool askFolder();
    // Throws halvex::Failure.
    void publish(const QString& eventPath, const QDateTime& now,
                 const std::optional<EventPairing>& lanes);

    Prompter& m_prompter;
    SettingsStore& m_store;
    QString m_app;
    // Kept open between passes: opening checks the whole file.
    std::unique_ptr<Event> m_event;
    QString m_eventPath;
    bool m_warned = false;
};

} // namespace halvex

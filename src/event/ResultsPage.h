#pragma once

#include "data/EventPairing.h"

#include <QByteArray>
#include <QDateTime>
#include <QJsonDocument>
#include <QString>

#include <optional>

namespace halvex {

class EventRounds;

// The event's results as the crowd and the pits read them away from the tower, for any ordinary
// web server to serve: a JSON document for programs and a page for phones, both made afresh from
// the event's database. The keys are listed in docs/architecture.md ("Results page"); a key is
// never renamed, only added.
//
// `generated` is when the results were taken; `nowRacing` the pair in the lanes, when the setup
// holds one (it is left out of the call order, which then begins on deck).
QJsonDocument resultsJson(const EventRounds& rounds, const QDateTime& generated,
                          const std::optional<EventPairing>& nowRacing = std::nullopt);

// The page of the document: one file, styles inline, no script, every element closed and every
// text escaped, so that it also reads as XML.
QByteArray resultsHtml(const QJsonDocument& results);

// Writes index.html and results.json into the folder; neither file is replaced unless both could
// be written out in full. Throws halvex::Failure naming the folder.
void publishResults(const QString& folder, const QJsonDocument& results);

} // namespace halvex

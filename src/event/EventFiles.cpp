#include "event/EventFiles.h"

#include "event/Event.h"
#include "event/EventRaceStore.h"
#include "platform/Failure.h"

#include <QDir>
#include <QFileInfo>

namespace halvex {

std::vector<EventListing> listEvents(const QString& folder)
{
    std::vector<EventListing> events;
    for (const QString& path : eventFiles(folder)) {
        EventListing listing{path, {}, {}};
        // A file that cannot be read is still listed, so that choosing it tells why.
        try {
            const Event event(path);
            listing.name = event.name();
            listing.day = event.day();
        } catch (const Failure&) {
        }
        events.push_back(listing);
    }
    return events;
}

QString newEventPath(const QString& folder, const QString& name)
{
    const QString file = name.trimmed();
    if (file.contains(u'/') || file.contains(u'\\') || file.startsWith(u'.'))
        throw Failure(QStringLiteral("An event's name cannot hold / or \\ nor start with a dot."));
    return QDir(folder).filePath(file + EventRaceStore::kSuffix);
}

} // namespace halvex

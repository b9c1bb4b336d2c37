#pragma once

#include <QDate>
#include <QString>

#include <vector>

namespace halvex {

// An event file as File, Load Event lists it.
struct EventListing
{
    QString path;
    QString name; // empty when the file cannot be read
    QDate day;
};

// The event files of a folder, the one changed last first, each with its event's name and day.
std::vector<EventListing> listEvents(const QString& folder);

// The file that a new event of this name gets in the folder; throws halvex::Failure for a name
// that cannot be a file's name.
QString newEventPath(const QString& folder, const QString& name);

} // namespace halvex

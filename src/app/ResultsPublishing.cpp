#include "app/ResultsPublishing.h"

#include "event/Event.h"
#include "event/EventRounds.h"
#include "event/ResultsPage.h"
#include "platform/Failure.h"
#include "platform/Prompter.h"
#include "platform/SettingsStore.h"

#include <QDir>

namespace halvex {

namespace {

const QString kTitle = QStringLiteral("Publish Results");
const QString kSection = QStringLiteral("Event");
const QString kFolderKey = QStringLiteral("PublishFolder");
const QString kAfterEveryPassKey = QStringLiteral("PublishAfterEveryPass");

} // namespace

ResultsPublishing::ResultsPublishing(Prompter& prompter, SettingsStore& store, QString app)
    : m_prompter(prompter), m_store(store), m_app(std::move(app))
{}

ResultsPublishing::~ResultsPublishing() = default;

QString ResultsPublishing::folder() const
{
    return m_store.value(m_app, kSection, kFolderKey, QString());
}

bool ResultsPublishing::afterEveryPass() const
{
    return m_store.value(m_app, kSection, kAfterEveryPassKey, QStringLiteral("0")).toInt() != 0;
}

bool ResultsPublishing::askFolder()
{
    const QString chosen =
        m_prompter.folderName(kTitle, folder().isEmpty() ? QDir::homePath() : folder());
    if (chosen.isEmpty())
        return false;
    m_store.setValue(m_app, kSection, kFolderKey, chosen);
    return true;
}

void ResultsPublishing::publishAsked(const QString& eventPath, const QDateTime& now,
                                     const std::optional<EventPairing>& lanes)
{
    if (!askFolder())
        return;
    try {
        publish(eventPath, now, lanes);
        m_warned = false;
    } catch (const Failure& f) {
        m_prompter.message(f.description(), kTitle, Buttons::Ok, Icon::Warning);
    }
}

bool ResultsPublishing::setAfterEveryPass(bool on)
{
    if (on && folder().isEmpty() && !askFolder())
        on = false;
    m_store.setValue(m_app, kSection, kAfterEveryPassKey,
                     on ? QStringLiteral("1") : QStringLiteral("0"));
    return on;
}

void ResultsPublishing::eventChanged(const QString& eventPath, const QDateTime& now,
                                     const std::optional<EventPairing>& lanes)
{
    if (!afterEveryPass() || folder().isEmpty())
        return;
    try {
        publish(eventPath, now, lanes);
        m_warned = false;
    } catch (const Failure& f) {
        if (std::exchange(m_warned, true))
            return;
        m_prompter.message(f.description() +
                               QStringLiteral("\r\nRacing goes on; the results are published "
                                              "again after the next pass."),
                           kTitle, Buttons::Ok, Icon::Warning);
    }
}

void ResultsPublishing::publish(const QString& eventPath, const QDateTime& now,
                                const std::optional<EventPairing>& lanes)
{
    if (!m_event || m_eventPath != eventPath) {
        m_event.reset();
        m_event = std::make_unique<Event>(eventPath);
        m_eventPath = eventPath;
    }
    publishResults(folder(), resultsJson(EventRounds(*m_event), now, lanes));
}

} // namespace halvex

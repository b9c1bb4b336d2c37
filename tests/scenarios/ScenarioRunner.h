#pragma once

#include "Scenario.h"

#include <QElapsedTimer>
#include <QObject>
#include <QPointer>
#include <QWidget>

#include <memory>
#include <stdexcept>
#include <vector>

namespace halvex {
class PdfFileSurface;
class QuitSignals;
} // namespace halvex
namespace halvex::sim {
class PtyPeer;
}

namespace halvex::test {

class AsOrdinaryUser;
class TinyDisk;
class WindowRig;

// Thrown by a step that the machine cannot run (a mount without root): the scenario is skipped.
class Skip : public std::runtime_error
{
public:
    using std::runtime_error::runtime_error;
};

// Runs a scenario's steps against the program over a temporary program folder. Each step runs
// in its own turn of the event loop: a step that opens a modal window stays inside it, and the
// next steps run in that window's event loop, as an operator's actions would.
class ScenarioRunner final : public QObject
{
public:
    ScenarioRunner(QString name, QList<Step> steps);
    ~ScenarioRunner() override;

    // The first failure ("name:line: step" and why), or an empty text when every step passed.
    QString run();
    // Why the scenario was skipped, or empty.
    QString skipped() const { return m_skipped; }

private:
    // Done, or Again at the next turn (a check not met yet, a wait, a race under way).
    enum class Result
    {
        Done,
        Again
    };
    void tick();
    Result perform(const QString& verb, const QStringList& args);
    Result setUp(const QString& verb, const QStringList& args);
    Result act(const QString& verb, const QStringList& args);
    Result expect(const QString& what, const QStringList& values);
    Result compare(const QStringList& actual, const QStringList& expected) const;
    Result retry(const QString& failure) const;
    void folder(const QString& how);
    WindowRig& rig();

    QString m_name;
    QList<Step> m_steps;
    qsizetype m_next = 0;
    qsizetype m_attempted = -1;
    bool m_firstAttempt = true;
    QElapsedTimer m_since;
    // For each step still running, the modal window that was up when it started: while that
    // window is still the one up, the step has not handed over to a window of its own.
    QList<QPointer<QWidget>> m_running;
    QString m_failure;
    QString m_skipped;
    bool m_done = false;
    std::unique_ptr<WindowRig> m_rig;
    std::unique_ptr<sim::PtyPeer> m_peer;
    std::vector<std::unique_ptr<sim::PtyPeer>> m_gonePeers;
    qsizetype m_wireSeen = 0;
    qsizetype m_printSeen = 0;
    std::unique_ptr<QuitSignals> m_quitSignals;
    std::unique_ptr<TinyDisk> m_disk;
    std::unique_ptr<AsOrdinaryUser> m_asUser;
    qint64 m_memoryMark = 0;
    int m_filesMark = 0;
    std::unique_ptr<PdfFileSurface> m_pdf;
};

} // namespace halvex::test

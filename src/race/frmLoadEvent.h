#pragma once

#include <QDialog>

#include <functional>
#include <vector>

class QPushButton;
class QTableWidget;

namespace halvex {

class Prompter;
struct EventListing;

// File, Load Event: the event files of the folder, newest first. OK gives the one picked to
// `choose`; a refusal (a damaged file) is told and the window stays open.
class frmLoadEvent final : public QDialog
{
    Q_OBJECT
public:
    using Choose = std::function<void(const QString& path)>; // throws halvex::Failure
    // `entries` opens the entries of the event picked (throws halvex::Failure too).
    frmLoadEvent(Prompter& prompter, const QString& folder, Choose choose, Choose entries,
                 QWidget* parent = nullptr);
    ~frmLoadEvent() override;
    Q_DISABLE_COPY_MOVE(frmLoadEvent)

    // Events listed after the folder's, such as the event server's when its answer comes: each
    // with the text of its File column.
    void addEvents(const std::vector<EventListing>& events, const QString& where);

    QTableWidget* grdEvents = nullptr;
    QPushButton* cmdEntries = nullptr;
    QPushButton* cmdOk = nullptr;
    QPushButton* cmdCancel = nullptr;

private:
    void pass(const Choose& to, bool close);

    Prompter& m_prompter;
    Choose m_choose;
    Choose m_entries;
    std::vector<EventListing> m_events;
};

} // namespace halvex

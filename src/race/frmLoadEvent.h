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
    frmLoadEvent(Prompter& prompter, const QString& folder, Choose choose,
                 QWidget* parent = nullptr);
    ~frmLoadEvent() override;

    QTableWidget* grdEvents = nullptr;
    QPushButton* cmdOk = nullptr;
    QPushButton* cmdCancel = nullptr;

private:
    void choose();

    Prompter& m_prompter;
    Choose m_choose;
    std::vector<EventListing> m_events;
};

} // namespace halvex

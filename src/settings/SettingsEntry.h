#pragma once

#include "data/DragSettings.h"

#include <QString>

#include <array>
#include <functional>

namespace halvex {

class Credits;
class ModCommand;
class Prompter;
class SerialPort;
class Settings;
class WindowState;
class ProgramFolder;

// What the settings window's controls show when OK is pressed: texts as typed, list positions
// (-1 for none) and the texts the lists show, check marks and option buttons.
struct SettingsEntry
{
    QString countdown;
    int portIndex = -1;
    QString portText;
    QString trackName;
    QString speedTrap;
    QString trackLength;
    QString multiplier;
    std::array<QString, 4> sensors; // boxes 1 to 3
    int sensorsIndex = -1;
    bool invertSignal = false;
    bool coinBox = false;
    int creditsIndex = -1;
    bool ledDisplay = false;
    int ledPortIndex = -1;
    QString ledPortText;
    QString randomMinText;
    QString randomMaxText;
    int randomMaxIndex = -1;
    int copiesIndex = -1;
    bool metric = false;
    bool largeFont = false;
};

// The control that gets the focus back when a check stops OK.
enum class SettingsField
{
    None,
    Countdown,
    Port,
    TrackName,
    SpeedTrap,
    Multiplier,
    RandomStart,
    RandomEnd,
};

struct SettingsOutcome
{
    bool accepted = false;
    SettingsField focus = SettingsField::None;
    bool selectAll = false;
};

// The settings window's OK without its window: every check in its order, each with its message,
// the port reopened, the record taken and written, the window state re-applied and the unit
// reconfigured. What a step has done stays done when a later one stops OK, as in the window.
class SettingsAcceptance
{
public:
    struct Parts
    {
        Settings& settings;
        SerialPort& port;
        ModCommand& command;
        Prompter& prompter;
        WindowState& windowState;
        Credits& credits;
        const ProgramFolder& folder;
        // Hides the main window's coin button when the coin box is not installed.
        std::function<void()> hideCoinButton;
    };

    explicit SettingsAcceptance(Parts parts) : m_parts(std::move(parts)) {}

    SettingsOutcome accept(const SettingsEntry& entry);
    // Reopens the timing unit's port with the number the list shows; false when it is no valid
    // port (reported, the window keeps the focus on the list).
    bool CheckPort(const QString& portText);

private:
    Parts m_parts;
};

// A minimum start delay as the list offers it, a whole number from 0 to 9; -1 when it is not.
int randomStartMinimum(const QString& text);

} // namespace halvex

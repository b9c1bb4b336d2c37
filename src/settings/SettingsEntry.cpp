#include "settings/SettingsEntry.h"

#include "data/Cp1252.h"
#include "data/Numbers.h"
#include "data/Settings.h"
#include "link/ModCommand.h"
#include "platform/Failure.h"
#include "platform/ProgramFolder.h"
#include "platform/Prompter.h"
#include "platform/SerialPort.h"
#include "race/Credits.h"
#include "race/WindowState.h"

#include <algorithm>

namespace halvex {

namespace {

SettingsOutcome stop(SettingsField focus, bool selectAll)
{
    return SettingsOutcome{false, focus, selectAll};
}

} // namespace

int randomStartMinimum(const QString& text)
{
    bool ok = false;
    const int value = text.trimmed().toInt(&ok);
    return ok && value >= 0 && value <= 9 ? value : -1;
}

bool SettingsAcceptance::CheckPort(const QString& portText)
{
    SerialPort& port = m_parts.port;
    try {
        if (port.isOpen())
            port.close();
        port.setPortNumber(portText.trimmed().toInt());
        port.open();
    } catch (const Failure& f) {
        if (f.code() == Failure::InvalidPortNumber) {
            m_parts.prompter.message(QStringLiteral("Invalid Port\r\nPlease select another Port"));
            return false;
        }
        m_parts.prompter.message(f.description());
    }
    return true;
}

SettingsOutcome SettingsAcceptance::accept(const SettingsEntry& e)
{
    Settings& settings = m_parts.settings;
    Prompter& prompter = m_parts.prompter;
    DragSettings r = settings.record();
    auto keep = [&] { settings.replace(r); };

    r.LargeFont = e.largeFont;
    keep();
    if (!e.coinBox && m_parts.hideCoinButton)
        m_parts.hideCoinButton();

    const double countdown = leadingNumber(e.countdown);
    if (countdown < 0.1 || countdown > 0.6) {
        prompter.message(QStringLiteral("Value must be between  0.1 and  0.6 seconds."),
                         QStringLiteral("ProTree Count-Down"));
        return stop(SettingsField::Countdown, true);
    }
    if (!CheckPort(e.portText))
        return stop(SettingsField::Port, false);
    if (e.ledDisplay && e.ledPortText.trimmed().toInt() == e.portText.trimmed().toInt()) {
        prompter.message(QStringLiteral("ProTree & Led Display cannot be connected to same port."
                                        "\r\nChange either the ProTree port or the Led Display "
                                        "port."),
                         QStringLiteral("Port conflict"));
        return stop(SettingsField::None, false);
    }

    if (const QString ch = firstUnstorable(e.trackName); !ch.isEmpty()) {
        prompter.message(unstorableMessage(ch));
        return stop(SettingsField::TrackName, true);
    }

    r.ProTreeCountdown = toSingle(countdown);
    r.ProTreeCommPortIndex = static_cast<qint16>(e.portIndex);
    r.TrackName = e.trackName;
    r.SpeedTrapDistance = toSingle(leadingNumber(e.speedTrap));
    r.TrackLength = normaliseDistanceText(e.trackLength);
    r.SpeedMultiplier = toSingle(leadingNumber(e.multiplier));
    // Only the boxes of the sensors in use are taken; a count outside 1 to 3 takes none past 3.
    for (int i = 1; i <= std::clamp<int>(r.NumberOfSensors, 0, 3); ++i)
        r.InterSensorDistance[i] = normaliseDistanceText(e.sensors[i]);
    keep();
    if (r.SpeedTrapDistance == 0) {
        prompter.message(QStringLiteral("Enter distance for Speed Trap"),
                         QStringLiteral("Speed Trap"));
        return stop(SettingsField::SpeedTrap, true);
    }
    if (r.SpeedMultiplier == 0) {
        prompter.message(QStringLiteral("Enter value for Speed Multiplier"),
                         QStringLiteral("Speed Multiplier"));
        return stop(SettingsField::Multiplier, true);
    }
    const int minimum = randomStartMinimum(e.randomMinText);
    if (minimum < 0) {
        prompter.message(QStringLiteral("The minimum delay must be a whole number from 0 to 9."),
                         QStringLiteral("Random Start Delay"));
        return stop(SettingsField::RandomStart, true);
    }

    r.CoinBoxInstalled = e.coinBox ? 1 : 0;
    r.CreditsPerCoinIndex = static_cast<qint16>(e.creditsIndex);
    r.LedDisplayInstalled = e.ledDisplay ? 1 : 0;
    r.LedDisplayCommPortIndex = static_cast<qint16>(e.ledPortIndex);
    r.RandomStartMin = static_cast<qint16>(minimum);
    keep();
    if (!isNumeric(e.randomMaxText)) {
        prompter.message(QStringLiteral("Random Start Delay value must be Numeric"),
                         QStringLiteral("Random Start Delay"));
        return stop(SettingsField::RandomEnd, true);
    }

    r.RandomStartMaxIndex = static_cast<qint16>(e.randomMaxIndex);
    r.NumberOfSensors = static_cast<qint16>(e.sensorsIndex + 1);
    r.CopiesIndex = static_cast<qint16>(e.copiesIndex);
    r.Metric = e.metric;
    r.InvertSignal = e.invertSignal ? 1 : 0;
    keep();
    try {
        writeSettingsFile(m_parts.folder.path(kSettingsFileName), r);
    } catch (const Failure& f) {
        prompter.message(f.description());
        return stop(SettingsField::None, false);
    }
    if (r.CoinBoxInstalled == 1) {
        try {
            m_parts.credits.createFileIfMissing();
        } catch (const Failure& f) {
            prompter.message(f.description());
        }
    }

    m_parts.windowState.apply(m_parts.folder);
    if (!m_parts.command.demoMode()) {
        try {
            m_parts.command.SendCountdown(r.ProTreeCountdown);
            m_parts.command.SendSignalPolarity(r.InvertSignal);
            m_parts.command.SendStagingMode(r.PreStageStage);
        } catch (const Failure& f) {
            prompter.message(f.description());
        }
    }
    return SettingsOutcome{true, SettingsField::None, false};
}

} // namespace halvex

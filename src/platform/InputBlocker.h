#pragma once

#include <QObject>

namespace halvex {

// While it lives, every input the operator gives any window of the program (keys, shortcuts,
// clicks, the wheel, close requests) is dropped for good: nothing is queued to be replayed
// afterwards, and the controls keep their look. Repaints, timers and the port's notifications go
// on, so the windows stay alive while the program waits for the timing unit.
class InputBlocker final : public QObject
{
public:
    InputBlocker();
    ~InputBlocker() override;
    InputBlocker(const InputBlocker&) = delete;
    InputBlocker& operator=(const InputBlocker&) = delete;

    static bool isUserInput(const QEvent* event);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
};

} // namespace halvex

#pragma once

namespace halvex {

// What the statistics window needs of the main race window.
class RaceHost
{
public:
    virtual ~RaceHost() = default;
    virtual void ProcessTimes() = 0;
    virtual int treeIndex() const = 0;
    virtual void setRaceEnabled(bool enabled) = 0;
    virtual void showMainWindow() = 0;
};

} // namespace halvex

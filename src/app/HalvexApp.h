#pragma once

#include <memory>

namespace halvex {

class frmDragRacing;

// Owns the run: the platform services, the shared state and the main race window.
class HalvexApp
{
public:
    HalvexApp();
    ~HalvexApp();

    // Loads the main window (the start-up sequence) and shows it.
    void start();
    frmDragRacing& mainWindow();

private:
    struct Parts;
    std::unique_ptr<Parts> m_parts;
};

} // namespace halvex

#pragma once

#include "data/ProgramFolder.h"

namespace halvex {

class Prompter;
class SerialPort;
class Clock;
class Random;
class SettingsStore;

// The platform services of one run, owned by the application object and handed to each window.
struct Services
{
    Prompter& prompter;
    SerialPort& port;
    Clock& clock;
    Random& random;
    SettingsStore& store;
    ProgramFolder folder;
};

} // namespace halvex

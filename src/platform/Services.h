#pragma once

#include "platform/ProgramFolder.h"

namespace halvex {

class Prompter;
class SerialPort;
class Clock;
class Random;
class SettingsStore;
class Sound;
class PrintSurface;

// The platform services of one run: the program's own (PlatformServices) or a test's doubles,
// handed to the application object, which hands them on to each window.
struct Services
{
    Prompter& prompter;
    SerialPort& port;
    Clock& clock;
    Random& random;
    SettingsStore& store;
    Sound& sound;
    PrintSurface& printer;
    ProgramFolder folder;
};

} // namespace halvex

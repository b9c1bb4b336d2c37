#pragma once

// The window helpers the fault tests share with the other window tests.
#include "data/Settings.h"
#include "support/ModalWindows.h"

#include <QLineEdit>
#include <QPushButton>

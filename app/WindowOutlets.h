#pragma once

#include "EmberlinController.h"

class QMainWindow;

// Builds the main window from its form and hands out the widgets the controller
// works with; its File menu holds "openAction" and the Quit action, "quitAction".
EmberlinController::Outlets buildWindowOutlets(QMainWindow& window);

// Wires the three buttons, the drop zone and the Open action to the controller's
// actions. Call it once per window, before awakeFromNib.
void connectWindowActions(const EmberlinController::Outlets& outlets,
                          EmberlinController& controller);

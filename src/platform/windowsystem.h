#pragma once

// Whether the program's windows live on a Wayland compositor (Qt's wayland platform plugin)
// rather than on an X server. There a program cannot place its own windows, learns nothing
// when one is minimised, and Qt draws the windows' frames itself.
bool OnWayland();

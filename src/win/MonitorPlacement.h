// Where the dialog goes on the screen: the place the user saved, unless no monitor would show
// its title bar any more.
#pragma once

#include <windows.h>

// Moves the window's top-left corner to (left, top), screen pixels, without changing its size,
// its place in the Z order or the activation. The saved place wins while the title bar can still
// be reached on some monitor, so that the window can be dragged back; a place off every monitor
// (a screen unplugged since, a hand-edited file) becomes the nearest place on the nearest
// monitor's work area.
void MoveWithinReach(HWND window, int left, int top);

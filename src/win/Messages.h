// The window messages of our own: one list, so that no two mean different things.
#pragma once

#include <windows.h>

enum : UINT {
    WmActivateDialog = WM_APP + 1,  // to the application window: activate the dialog
    WmCloseOnce,                    // to the dialog: run the close sequence
    WmLoadInfoPage,                 // to the dialog: make the strip's browser, now it shows
};

#pragma once

#include <windows.h>

#include "settings/config_settings.h"

// "Test slots": runs the slot test for every ticked slot, one at a time,
// while `dialog` keeps painting without taking input and its caption names
// the slot under test; then shows a row per tested slot in `language`. The
// slots' settings are only read.
void TestSlots(HWND dialog, HINSTANCE instance, const SlotSettings* slots, int language);

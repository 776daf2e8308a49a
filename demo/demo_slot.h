#pragma once

// Sets up slot tdl0 for the demo through the real files: the slot's
// section of the settings file names Wine's 32-bit mrle codec and switches
// the slot on, and vidc.tdl0 in the 64-bit view of HKEY_LOCAL_MACHINE's
// Drivers32 key names the client driver beside this program.
bool AssignDemoSlot();

#pragma once

// Uninstall mode: unregisters the slots and the installed codecs and offers
// to delete the settings file. Returns 1.
int RunUninstall(int language);

#pragma once

// Uninstall mode: unregisters the ten slots and every codec installed
// through this program, then asks whether to delete the settings file;
// with `silent` non-zero nothing is asked and the file stays. Each step
// runs whatever the one before did. Returns 1.
int RunUninstall(int language, int silent);

// Runs the installer tool to unregister each codec listed by a "CODEC32."
// section of the settings file, deleting each section after its run. 0 when
// the section list did not fit (the "There is too much names." box was
// shown and nothing was unregistered), else 1.
int UnregisterAllCodecs();

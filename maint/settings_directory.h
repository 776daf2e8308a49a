#pragma once

// Creates the per-user settings directory when it does not exist (the last
// level only). Failures are not reported. Returns 1.
int CreateSettingsDirectory();

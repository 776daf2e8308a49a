#include "maint/settings_directory.h"

#include <windows.h>

#include "settings/settings_paths.h"

int CreateSettingsDirectory()
{
    char directory[MAX_PATH];
    if (GetSettingsDirectory(directory) && !FileExists(directory))
        CreateDirectoryA(directory, nullptr);
    return 1;
}

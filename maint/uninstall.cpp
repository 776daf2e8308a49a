#include "maint/uninstall.h"

// Uninstall mode is not built yet: it does nothing.
int RunUninstall(int)
{
    return 1;
}

#include "ui/dialog_commands.h"

bool CDialogCommands::Begin()
{
    if (busy)
        return false;
    busy = 1;
    return true;
}

bool CDialogCommands::End()
{
    busy = 0;
    bool close = closeHeld != 0;
    closeHeld = 0;
    return close;
}

bool CDialogCommands::MayClose()
{
    if (busy)
        closeHeld = 1;
    return !busy;
}

#pragma once

#include <windows.h>

// Each menu resource serves both languages and holds the English captions;
// a Japanese dialog retitles its menu when it opens.

void RetitleConfigMenu(HMENU menu, int language);
void RetitleInstallMenu(HMENU menu, int language);

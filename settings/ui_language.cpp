#include "settings/ui_language.h"

#include <windows.h>

#include <cstring>

#include "settings/profile.h"
#include "settings/settings_paths.h"

int UiLanguageFromCountry(const char* country)
{
    return std::strcmp(country, "Japan") == 0 ? UiLanguageJapanese : UiLanguageEnglish;
}

int SettleUiLanguage(const char* path, int localeDefault)
{
    int language = localeDefault;
    ProfileExchangeInt(0, path, "MAIN", "language", &language);
    if (language != UiLanguageJapanese && language != UiLanguageEnglish)
        return localeDefault;
    return language;
}

void LoadUiLanguage(int* language)
{
    char country[MAX_PATH] = "";
    GetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_SENGCOUNTRY, country, MAX_PATH);
    char path[MAX_PATH];
    GetSettingsFilePath(path);
    *language = SettleUiLanguage(path, UiLanguageFromCountry(country));
}

void SaveUiLanguage(int language)
{
    char path[MAX_PATH];
    GetSettingsFilePath(path);
    ProfileWriteInt(path, "MAIN", "language", &language);
}

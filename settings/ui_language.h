#pragma once

// The user-interface language: an index into every two-entry table of texts.
enum UiLanguage : int {
    UiLanguageJapanese = 0,
    UiLanguageEnglish = 1,
};

// Japanese when the English name of the user's country is exactly "Japan".
int UiLanguageFromCountry(const char* country);

// The language stored under MAIN/language, or `localeDefault` when none is
// stored (which is then written) or the stored value is no language.
int SettleUiLanguage(const char* path, int localeDefault);

// Settles the language from the user's locale and the settings file.
void LoadUiLanguage(int* language);
void SaveUiLanguage(int language);

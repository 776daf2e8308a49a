#pragma once

// The user-interface language: an index into every two-entry table of texts.
enum UiLanguage : int {
    UiLanguageJapanese = 0,
    UiLanguageEnglish = 1,
};

// Where the text of `language` stands in a two-entry table (Japanese,
// English): any value but Japanese reads as English.
inline int UiTextIndex(int language)
{
    return language == UiLanguageJapanese ? UiLanguageJapanese : UiLanguageEnglish;
}

// Japanese when the English name of the user's country is exactly "Japan".
int UiLanguageFromCountry(const char* country);

// The language stored under MAIN/language, or `localeDefault` when none is
// stored (which is then written) or the stored value is no language.
int SettleUiLanguage(const char* path, int localeDefault);

// Settles the language from the user's locale and the settings file.
void LoadUiLanguage(int* language);
void SaveUiLanguage(int language);

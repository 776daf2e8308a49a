#include <windows.h>

#include <gtest/gtest.h>

#include "settings/ui_language.h"
#include "settings_files.h"

// Only the exact country name "Japan" chooses Japanese. A stored language
// wins over the locale; a missing one is settled from the locale and stored;
// a stored value that is no language falls back to the locale and stays as
// it is.
TEST(UiLanguageTest, StoredLanguageWinsElseTheLocale)
{
    for (const char* country : {"japan", "Japan ", "United States", ""})
        EXPECT_EQ(UiLanguageEnglish, UiLanguageFromCountry(country)) << country;
    EXPECT_EQ(UiLanguageJapanese, UiLanguageFromCountry("Japan"));

    const struct {
        const char* stored;
        int locale;
        int language;
        const char* storedAfter;
    } cases[] = {
        {nullptr, UiLanguageJapanese, UiLanguageJapanese, "0"},
        {"       1", UiLanguageJapanese, UiLanguageEnglish, "1"},
        {"7", UiLanguageJapanese, UiLanguageJapanese, "7"},
        {"-1", UiLanguageEnglish, UiLanguageEnglish, "-1"},
        {"abc", UiLanguageJapanese, UiLanguageJapanese, "abc"},
    };
    std::string path = FreshTempPath("language.ini");
    for (const auto& c : cases) {
        ASSERT_TRUE(
            WriteWholeFile(path, c.stored ? std::string("[MAIN]\r\nlanguage=") + c.stored + "\r\n" : ""));
        EXPECT_EQ(c.language, SettleUiLanguage(path.c_str(), c.locale)) << c.storedAfter;
        EXPECT_EQ(c.storedAfter, StoredValue(path, "MAIN", "language"));
    }
    DeleteFileA(path.c_str());
}

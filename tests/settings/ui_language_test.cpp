#include <windows.h>

#include <gtest/gtest.h>

#include "settings/ui_language.h"
#include "settings_files.h"

TEST(UiLanguageTest, OnlyTheExactCountryNameJapanChoosesJapanese)
{
    EXPECT_EQ(UiLanguageJapanese, UiLanguageFromCountry("Japan"));
    EXPECT_EQ(UiLanguageEnglish, UiLanguageFromCountry("japan"));
    EXPECT_EQ(UiLanguageEnglish, UiLanguageFromCountry("Japan "));
    EXPECT_EQ(UiLanguageEnglish, UiLanguageFromCountry("United States"));
    EXPECT_EQ(UiLanguageEnglish, UiLanguageFromCountry(""));
}

TEST(UiLanguageTest, MissingLanguageIsSettledFromTheLocaleAndStored)
{
    std::string path = FreshTempPath("language.ini");
    ASSERT_TRUE(WriteWholeFile(path, ""));
    EXPECT_EQ(UiLanguageJapanese, SettleUiLanguage(path.c_str(), UiLanguageFromCountry("Japan")));
    EXPECT_EQ("0", StoredValues(path, "MAIN", {"language"}));
    DeleteFileA(path.c_str());
}

TEST(UiLanguageTest, StoredLanguageWinsOverTheLocale)
{
    std::string path = FreshTempPath("language.ini");
    ASSERT_TRUE(WriteWholeFile(path, "[MAIN]\r\nlanguage=       1\r\n"));
    EXPECT_EQ(UiLanguageEnglish, SettleUiLanguage(path.c_str(), UiLanguageFromCountry("Japan")));
    DeleteFileA(path.c_str());
}

TEST(UiLanguageTest, StoredValueThatIsNoLanguageFallsBackToTheLocaleAndIsKept)
{
    std::string path = FreshTempPath("language.ini");
    for (const char* stored : {"7", "-1", "abc"}) {
        ASSERT_TRUE(WriteWholeFile(path, std::string("[MAIN]\r\nlanguage=") + stored + "\r\n"));
        EXPECT_EQ(UiLanguageJapanese, SettleUiLanguage(path.c_str(), UiLanguageJapanese)) << stored;
        EXPECT_EQ(UiLanguageEnglish, SettleUiLanguage(path.c_str(), UiLanguageEnglish)) << stored;
        EXPECT_EQ(stored, StoredValues(path, "MAIN", {"language"}));
    }
    DeleteFileA(path.c_str());
}

#include <windows.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <memory>

#include "settings/config_settings.h"
#include "settings_files.h"

namespace {

const char kDefaultWindow[] = "[CDLG_MAIN]\r\nrcWnd.rcLeft=100\r\nrcWnd.rcTop=100\r\nrcWnd.rcRight=500\r\n"
                              "rcWnd.rcBottom=700\r\n";

// The ten slot sections as the settings store them.
std::string SlotSections(const ConfigSettings& settings)
{
    std::string text;
    for (int i = 0; i < kSlotCount; ++i) {
        const SlotSettings& slot = settings.slots[i];
        char section[4096];
        std::snprintf(
            section, sizeof section,
            "[tdl%d]\r\niEnable=%d\r\npcFccName=%s\r\ndwFcc=0x%08X\r\ndwbiFcc=0x%08X\r\npcFcc=%s\r\n"
            "pcName=%s\r\npcVersion=%s\r\npcDesc=%s\r\npcDriver=%s\r\ndwFlags=0x%08X\r\ndwVersionICM=0x%"
            "08X\r\ndwOpenModes=0x%08X\r\n",
            i, slot.iEnable, slot.pcFccName, slot.dwFcc, slot.dwbiFcc, slot.pcFcc, slot.pcName,
            slot.pcVersion, slot.pcDesc, slot.pcDriver, slot.dwFlags, slot.dwVersionICM, slot.dwOpenModes);
        text += section;
    }
    return text;
}

class ConfigSettingsTest : public ::testing::Test {
protected:
    void SetUp() override { path = FreshTempPath("config.ini"); }
    void TearDown() override { DeleteFileA(path.c_str()); }

    // Without the blanks that pad numbers on the left, which Windows keeps
    // and Wine drops.
    std::string FileText()
    {
        std::string text;
        ReadWholeFile(path, &text);
        for (size_t at = 0; (at = text.find("= ", at)) != std::string::npos;)
            text.erase(at + 1, 1);
        return text;
    }
    ConfigSettings* Load()
    {
        loaded = std::make_unique<ConfigSettings>();
        ExchangeConfigSettingsFile(path.c_str(), loaded.get(), 0);
        return loaded.get();
    }

    std::string path;
    std::unique_ptr<ConfigSettings> loaded;
};

}

TEST_F(ConfigSettingsTest, FirstLoadWritesEveryDefaultButTheLogKeysAndTheNextAddsOnlyThose)
{
    ConfigSettings* settings = Load();
    EXPECT_EQ(100, settings->rcWnd.left);
    EXPECT_EQ(700, settings->rcWnd.bottom);
    EXPECT_EQ(1, settings->iTimeout);
    EXPECT_EQ(0, settings->iLog);
    EXPECT_EQ(0u, settings->slots[9].dwFcc);
    std::string slots = SlotSections(ConfigSettings {});
    EXPECT_EQ(kDefaultWindow + std::string("[GENERAL]\r\niTimeout=1\r\n") + slots, FileText());

    Load();
    std::string expected
        = kDefaultWindow + std::string("[GENERAL]\r\niTimeout=1\r\niLog=0\r\npcLogPath=\r\n") + slots;
    EXPECT_EQ(expected, FileText());
    Load();
    EXPECT_EQ(expected, FileText());
}

TEST_F(ConfigSettingsTest, SaveWritesFromMemoryAndLeavesTheLogKeysAlone)
{
    ASSERT_TRUE(WriteWholeFile(path, "[GENERAL]\r\niTimeout=3\r\niLog=5\r\npcLogPath=C:\\log.txt\r\n"));
    ConfigSettings* settings = Load();
    EXPECT_EQ(3, settings->iTimeout);
    EXPECT_EQ(5, settings->iLog);
    EXPECT_STREQ("C:\\log.txt", settings->pcLogPath);

    settings->rcWnd = {12, -34, 560, 780};
    settings->iTimeout = 30;
    settings->iLog = 9;
    const SlotSettings slot = {1,   "MRLE Microsoft RLE",      0x656c726d,    1, "mrle", "MS-RLE",
                               "1", "Wine MS-RLE video codec", "msrle32.dll", 7, 0x104, 0x8000003E};
    settings->slots[3] = slot;
    ExchangeConfigSettingsFile(path.c_str(), settings, 1);

    EXPECT_EQ(
        "[GENERAL]\r\niTimeout=30\r\niLog=5\r\npcLogPath=C:\\log.txt\r\n[CDLG_MAIN]\r\nrcWnd.rcLeft=12\r\n"
        "rcWnd.rcTop=-34\r\nrcWnd.rcRight=560\r\nrcWnd.rcBottom=780\r\n"
            + SlotSections(*settings),
        FileText());

    ConfigSettings* again = Load();
    EXPECT_EQ(0, std::memcmp(&slot, &again->slots[3], sizeof slot));
    EXPECT_EQ(5, again->iLog);
    EXPECT_EQ(-34, again->rcWnd.top);
}

TEST_F(ConfigSettingsTest, GarbageAndPartialValuesFollowTheReadRules)
{
    ASSERT_TRUE(WriteWholeFile(path,
                               "[CDLG_MAIN]\r\nrcWnd.rcLeft=5\r\nrcWnd.rcRight=6\r\nrcWnd.rcBottom=7\r\n"
                               "[GENERAL]\r\niTimeout=abc\r\n"
                               "[tdl0]\r\ndwFcc=0x32595559\r\niEnable=2\r\n"
                               "[tdl1]\r\ndwFcc=32595559\r\ndwbiFcc=zz\r\niEnable=-1\r\n"
                               "[tdl2]\r\niEnable=1\r\n"));
    ConfigSettings* settings = Load();
    EXPECT_EQ(1, settings->iTimeout);
    EXPECT_EQ(0x32595559u, settings->slots[0].dwFcc);
    EXPECT_EQ(0x32595559u, settings->slots[1].dwFcc);
    EXPECT_EQ(0u, settings->slots[1].dwbiFcc);
    for (int slot = 0; slot < 4; ++slot)
        EXPECT_EQ(slot < 3 ? 1 : 0, settings->slots[slot].iEnable) << slot;
    EXPECT_EQ(100, settings->rcWnd.left);
    EXPECT_EQ(100, settings->rcWnd.top);

    std::string text = FileText();
    EXPECT_EQ(0u,
              text.find("[CDLG_MAIN]\r\nrcWnd.rcLeft=100\r\nrcWnd.rcRight=500\r\nrcWnd.rcBottom=700\r\n"
                        "rcWnd.rcTop=100\r\n[GENERAL]\r\niTimeout=abc\r\n"));
    EXPECT_NE(std::string::npos, text.find("dwbiFcc=zz\r\n"));
    EXPECT_EQ("0x00000000", StoredValue(path, "tdl0", "dwbiFcc")) << "a missing value is created";
    EXPECT_NE(std::string::npos, text.find("iEnable=2\r\n"));
}

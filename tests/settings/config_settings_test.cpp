#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <memory>

#include "settings/config_settings.h"
#include "settings/profile_encoding.h"
#include "settings_files.h"

namespace {

std::string Line(const char* key, const std::string& value)
{
    return std::string(key) + "=" + StoredForm(value) + "\r\n";
}

std::string IntLine(const char* key, int value)
{
    char text[kProfileNumberCapacity];
    FormatProfileInt(value, text);
    return Line(key, text);
}

std::string HexLine(const char* key, uint32_t value)
{
    char text[kProfileNumberCapacity];
    FormatProfileHex(value, text);
    return Line(key, text);
}

std::string RectLines(int left, int top, int right, int bottom)
{
    return IntLine("rcWnd.rcLeft", left) + IntLine("rcWnd.rcTop", top) + IntLine("rcWnd.rcRight", right)
        + IntLine("rcWnd.rcBottom", bottom);
}

std::string SlotSection(int index, const SlotSettings& slot)
{
    return "[tdl" + std::to_string(index) + "]\r\n" + IntLine("iEnable", slot.iEnable)
        + Line("pcFccName", slot.pcFccName) + HexLine("dwFcc", slot.dwFcc) + HexLine("dwbiFcc", slot.dwbiFcc)
        + Line("pcFcc", slot.pcFcc) + Line("pcName", slot.pcName) + Line("pcVersion", slot.pcVersion)
        + Line("pcDesc", slot.pcDesc) + Line("pcDriver", slot.pcDriver);
}

std::string SlotSections(const ConfigSettings& settings)
{
    std::string text;
    for (int i = 0; i < kSlotCount; ++i)
        text += SlotSection(i, settings.slots[i]);
    return text;
}

class ConfigSettingsTest : public ::testing::Test {
protected:
    void SetUp() override { path = FreshTempPath("config.ini"); }
    void TearDown() override { DeleteFileA(path.c_str()); }

    std::string FileText()
    {
        std::string text;
        ReadWholeFile(path, &text);
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

TEST_F(ConfigSettingsTest, FirstLoadWithoutFileWritesEveryDefaultButTheLogKeys)
{
    ConfigSettings* settings = Load();
    EXPECT_EQ(100, settings->rcWnd.left);
    EXPECT_EQ(700, settings->rcWnd.bottom);
    EXPECT_EQ(1, settings->iTimeout);
    EXPECT_EQ(0, settings->iLog);
    EXPECT_EQ(0u, settings->slots[9].dwFcc);

    SlotSettings empty = {};
    std::string slots;
    for (int i = 0; i < kSlotCount; ++i)
        slots += SlotSection(i, empty);
    EXPECT_EQ("[CDLG_MAIN]\r\n" + RectLines(100, 100, 500, 700) + "[GENERAL]\r\n" + IntLine("iTimeout", 1)
                  + slots,
              FileText());
}

TEST_F(ConfigSettingsTest, LoadOfExistingFileAddsOnlyTheMissingLogKeys)
{
    Load();
    std::string before = FileText();
    Load();
    std::string timeout = IntLine("iTimeout", 1);
    std::string expected = before;
    expected.insert(expected.find(timeout) + timeout.size(), IntLine("iLog", 0) + Line("pcLogPath", ""));
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
    SlotSettings& slot = settings->slots[3];
    slot.iEnable = 1;
    lstrcpyA(slot.pcFccName, "MRLE Microsoft RLE");
    slot.dwFcc = 0x656c726d;
    slot.dwbiFcc = 1;
    lstrcpyA(slot.pcFcc, "mrle");
    lstrcpyA(slot.pcName, "MS-RLE");
    lstrcpyA(slot.pcVersion, "1");
    lstrcpyA(slot.pcDesc, "Wine MS-RLE video codec");
    lstrcpyA(slot.pcDriver, "msrle32.dll");
    ExchangeConfigSettingsFile(path.c_str(), settings, 1);

    EXPECT_EQ("[GENERAL]\r\n" + IntLine("iTimeout", 30) + "iLog=5\r\npcLogPath=C:\\log.txt\r\n"
                  + "[CDLG_MAIN]\r\n" + RectLines(12, -34, 560, 780) + SlotSections(*settings),
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
    EXPECT_EQ(1, settings->slots[0].iEnable);
    EXPECT_EQ(1, settings->slots[1].iEnable);
    EXPECT_EQ(1, settings->slots[2].iEnable);
    EXPECT_EQ(0, settings->slots[3].iEnable);
    EXPECT_EQ(100, settings->rcWnd.left);
    EXPECT_EQ(100, settings->rcWnd.top);

    std::string text = FileText();
    EXPECT_EQ(0u,
              text.find("[CDLG_MAIN]\r\n" + IntLine("rcWnd.rcLeft", 100) + IntLine("rcWnd.rcRight", 500)
                        + IntLine("rcWnd.rcBottom", 700) + IntLine("rcWnd.rcTop", 100)
                        + "[GENERAL]\r\n"
                          "iTimeout=abc\r\n"));
    EXPECT_NE(std::string::npos, text.find("dwbiFcc=zz\r\n"));
    EXPECT_NE(std::string::npos, text.find("iEnable=2\r\n"));
}

#include <windows.h>
#include <vfw.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>
#include <utility>
#include <string>
#include <vector>

#include "bitmap_header.h"
#include "drivers32_values.h"
#include "host/liveness_deadline.h"
#include "message_box_probe.h"
#include "settings_files.h"
#include "test_process.h"
#include "ui/config_dlg_res.h"

namespace {

const char kUninstallKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Tandrel64";
const char* const kInstalledFiles[]
    = {"Tandrel64.exe",       "QelInstall32.exe",      "TandrelDrv64.dll",      "TandrelMng.exe",
       "TandrelSlotTest.exe", "Tandrel64Help_en.html", "Tandrel64Help_ja.html", "Uninstall.exe"};

// One value of the uninstall entry (64-bit view), or kMissingValue.
std::string UninstallValue(const char* name)
{
    char data[1024];
    DWORD size = sizeof data;
    LONG result = RegGetValueA(HKEY_LOCAL_MACHINE, kUninstallKey, name, RRF_RT_REG_SZ, nullptr, data, &size);
    return result == ERROR_SUCCESS ? data : kMissingValue;
}

// The running Tandrel64.exe that the installer or uninstaller `started`
// runs, or 0. Another test's host of the build is not one of them.
DWORD ConfigurationToolProcess(DWORD started)
{
    std::vector<DWORD> tools = DescendantsNamed(started, "Tandrel64.exe");
    return tools.empty() ? 0 : tools.front();
}

// Polls for `done` for up to a minute; false as soon as the configuration
// tool that `started` runs shows its dialog or a message box.
bool WaitWithoutWindows(DWORD started, const std::function<bool()>& done)
{
    for (DWORD start = GetTickCount(); GetTickCount() - start < 60000; Sleep(10)) {
        if (done())
            return true;
        DWORD tool = ConfigurationToolProcess(started);
        if (tool != 0 && WaitForDialog(tool, {IDC_OK, IDOK, IDYES}, 0) != nullptr)
            return false;
    }
    return false;
}

// Whatever fails, the installation goes, the slot drivers are put back.
class InstallerTest : public ::testing::Test {
protected:
    void SetUp() override { RemoveRealSettings(); }
    void TearDown() override
    {
        for (const TestProcess* started : {&setup, &uninstall}) {
            for (DWORD tool : DescendantsNamed(started->Id(), "Tandrel64.exe")) {
                HANDLE leftOver = OpenProcess(PROCESS_TERMINATE, FALSE, tool);
                TerminateProcess(leftOver, 1);
                CloseHandle(leftOver);
            }
        }
        for (const char* file : kInstalledFiles)
            DeleteFileA((folder + "\\" + file).c_str());
        RemoveDirectoryA(folder.c_str());
        RegDeleteKeyExA(HKEY_LOCAL_MACHINE, kUninstallKey, KEY_WOW64_64KEY, 0);
        RemoveRealSettings();
    }

    const std::string folder = std::string(std::getenv("ProgramFiles")) + "\\Tandrel64";
    SlotDriversSnapshot slotDrivers;
    TestProcess setup;
    TestProcess uninstall;
};

}

// Silent runs show nothing. The installation sets the tool up as its first
// start does: a preferred codec takes slot tdl0, the stored tdl1 (Wine's
// mrle, which only system.ini lists) stays, both are registered, and a
// 64-bit program opens tdl1 through the installed host. The removal keeps
// the settings file.
TEST_F(InstallerTest, SilentInstallSetsUpTheSlotsAndSilentUninstallKeepsTheSettings)
{
    Drivers32Values codecs;
    ASSERT_TRUE(codecs.SetTestCodec(HKEY_LOCAL_MACHINE, "vidc.zrb3"));
    CreateRealSettingsDirectory();
    ASSERT_TRUE(WriteWholeFile(RealSettingsFile(),
                               "[tdl1]\r\niEnable=1\r\npcFccName=mrle - \r\ndwFcc=0x656C726D\r\n"));
    DWORD exitCode = 1;
    ASSERT_TRUE(setup.Start(BinPath("Tandrel64Setup.exe"), "/S"));
    ASSERT_TRUE(WaitWithoutWindows(setup.Id(), [&] { return setup.WaitForExit(0, &exitCode); }));
    EXPECT_EQ(0u, exitCode);
    for (const char* file : kInstalledFiles)
        EXPECT_TRUE(PathExists(folder + "\\" + file)) << file;
    std::string entry;
    for (const char* name :
         {"DisplayName", "DisplayVersion", "Publisher", "InstallLocation", "DisplayIcon", "UninstallString"})
        entry += UninstallValue(name) + "|";
    ASSERT_EQ("Tandrel64|1.00|The Tandrel64 developers|" + folder + "|" + folder + "\\Tandrel64.exe,0|\""
                  + folder + "\\Uninstall.exe\"|",
              entry);

    EXPECT_EQ("1|zrb3", StoredValues(RealSettingsFile(), "tdl0", {"iEnable", "pcFcc"}));
    EXPECT_EQ("1|mrle", StoredValues(RealSettingsFile(), "tdl1", {"iEnable", "pcFcc"}));
    for (int slot = 0; slot < 10; ++slot)
        EXPECT_EQ(slot < 2 ? ShortPath(folder + "\\TandrelDrv64.dll") : kMissingValue, SlotDriverValue(slot));
    HIC codec = ICOpen(ICTYPE_VIDEO, mmioFOURCC('t', 'd', 'l', '1'), ICMODE_COMPRESS);
    ASSERT_NE(nullptr, codec);
    BITMAPINFO input = {MakeHeader(64, 48, 8, BI_RGB, 64 * 48, 1), {}};
    EXPECT_EQ(ICERR_OK, ICCompressQuery(codec, &input, nullptr));
    EXPECT_EQ(ICERR_OK, ICClose(codec));
    // Its host waits for this program's next codec until its idle time is
    // up, and keeps the driver loaded meanwhile; then both let their files go.
    std::string driver = ShortPath(folder + "\\TandrelDrv64.dll");
    EXPECT_NE(nullptr, GetModuleHandleA(driver.c_str()));
    EXPECT_TRUE(PollUntil(kHostIdleMs + 6 * kHostCheckIntervalMs,
                          [&] { return GetModuleHandleA(driver.c_str()) == nullptr; }));

    // The uninstaller goes on from a copy of itself: done when the folder
    // and the entry are gone.
    ASSERT_TRUE(uninstall.Start(folder + "\\Uninstall.exe", "/S"));
    EXPECT_TRUE(WaitWithoutWindows(uninstall.Id(),
        [&] { return !PathExists(folder) && UninstallValue("DisplayName") == kMissingValue; }));
    for (int slot = 0; slot < 10; ++slot)
        EXPECT_EQ(kMissingValue, SlotDriverValue(slot)) << slot;
    EXPECT_EQ("1|mrle", StoredValues(RealSettingsFile(), "tdl1", {"iEnable", "pcFcc"}));
}

// The installer's language chooser starts at the language the tool would
// take: the stored one, else the user's locale's.
TEST_F(InstallerTest, LanguageChooserStartsAtTheToolsLanguage)
{
    char country[MAX_PATH] = "";
    GetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_SENGCOUNTRY, country, MAX_PATH);
    const char* byLocale = std::string(country) == "Japan" ? "日本語" : "English";
    CreateRealSettingsDirectory();
    for (const auto& c :
         {std::make_pair("0", "日本語"), std::make_pair("1", "English"), std::make_pair("", byLocale)}) {
        WriteWholeFile(RealSettingsFile(), std::string("[MAIN]\r\nlanguage=") + c.first + "\r\n");
        ASSERT_TRUE(setup.Start(BinPath("Tandrel64Setup.exe"), ""));
        HWND chooser = WaitForDialog(setup.Id(), {IDOK});
        ASSERT_NE(nullptr, chooser);
        EXPECT_EQ(c.second, TextOf(FindWindowExW(chooser, nullptr, L"ComboBox", nullptr))) << c.first;
        PostMessageW(chooser, WM_COMMAND, IDCANCEL, 0);
        EXPECT_TRUE(setup.WaitForExit(10000));
    }
}

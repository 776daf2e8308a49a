#include <windows.h>
#include <tlhelp32.h>
#include <vfw.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>
#include <string>

#include "bitmap_header.h"
#include "drivers32_values.h"
#include "message_box_probe.h"
#include "settings_files.h"
#include "test_process.h"
#include "ui/config_dlg_res.h"

namespace {

const char kUninstallKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Tandrel64";
const char* const kInstalledFiles[]
    = {"Tandrel64.exe",         "QelInstall32.exe",      "TandrelDrv64.dll", "TandrelMng.exe",
       "Tandrel64Help_en.html", "Tandrel64Help_ja.html", "Uninstall.exe"};

// One value of the uninstall entry (64-bit view), or kMissingValue.
std::string UninstallValue(const char* name)
{
    char data[1024];
    DWORD size = sizeof data;
    LONG result = RegGetValueA(HKEY_LOCAL_MACHINE, kUninstallKey, name, RRF_RT_REG_SZ, nullptr, data, &size);
    return result == ERROR_SUCCESS ? data : kMissingValue;
}

// The running Tandrel64.exe, or 0. Only the installed one runs meanwhile.
DWORD ConfigurationToolProcess()
{
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    PROCESSENTRY32 entry = {};
    entry.dwSize = sizeof entry;
    DWORD found = 0;
    for (BOOL more = Process32First(snapshot, &entry); more && !found; more = Process32Next(snapshot, &entry))
        found = lstrcmpiA(entry.szExeFile, "Tandrel64.exe") == 0 ? entry.th32ProcessID : 0;
    CloseHandle(snapshot);
    return found;
}

// Polls for `done` for up to a minute. Meanwhile the configuration tool's
// main dialog, whenever it shows, is closed, and each message box it shows
// is answered with `button`; the box's text goes to `text`.
bool WaitAnswering(const std::function<bool()>& done, int button, std::string* text)
{
    for (DWORD start = GetTickCount(); GetTickCount() - start < 60000; Sleep(50)) {
        if (done())
            return true;
        DWORD tool = ConfigurationToolProcess();
        MessageBoxSeen seen;
        if (WaitForMessageBox(tool, 0, &seen)) {
            *text = seen.text;
            AnswerMessageBox(seen.window, button);
            WaitUntilClosed(seen.window, 5000);
        } else if (HWND main = WaitForDialog(tool, {IDC_OK}, 0)) {
            PostMessageA(main, WM_CLOSE, 0, 0);
            WaitUntilClosed(main, 5000);
        }
    }
    return false;
}

// Whatever fails, the installation goes, the slot drivers are put back.
class InstallerTest : public ::testing::Test {
protected:
    void SetUp() override { RemoveRealSettings(); }
    void TearDown() override
    {
        HANDLE leftOver = OpenProcess(PROCESS_TERMINATE, FALSE, ConfigurationToolProcess());
        TerminateProcess(leftOver, 1);
        CloseHandle(leftOver);
        for (const char* file : kInstalledFiles)
            DeleteFileA((folder + "\\" + file).c_str());
        RemoveDirectoryA(folder.c_str());
        RegDeleteKeyExA(HKEY_LOCAL_MACHINE, kUninstallKey, KEY_WOW64_64KEY, 0);
        RemoveRealSettings();
    }

    const std::string folder = std::string(std::getenv("ProgramFiles")) + "\\Tandrel64";
    SlotDriversSnapshot slotDrivers;
    std::string seen;
};

}

TEST_F(InstallerTest, InstallsRegistersASlotAndUninstallsWithoutTrace)
{
    TestProcess setup;
    DWORD exitCode = 1;
    ASSERT_TRUE(setup.Start(BinPath("Tandrel64Setup.exe"), "/S"));
    // The configuration tool's first start waits for its user: close it.
    ASSERT_TRUE(WaitAnswering([&] { return setup.WaitForExit(0, &exitCode); }, IDOK, &seen));
    EXPECT_EQ(0u, exitCode);
    for (const char* file : kInstalledFiles)
        EXPECT_TRUE(PathExists(folder + "\\" + file)) << file;
    EXPECT_EQ("Tandrel64 1.00 The Tandrel64 developers",
              UninstallValue("DisplayName") + " " + UninstallValue("DisplayVersion") + " "
                  + UninstallValue("Publisher"));
    EXPECT_EQ(folder, UninstallValue("InstallLocation"));
    EXPECT_EQ(folder + "\\Tandrel64.exe,0", UninstallValue("DisplayIcon"));
    ASSERT_EQ("\"" + folder + "\\Uninstall.exe\"", UninstallValue("UninstallString"));

    // Wine's mrle in slot tdl0: a 64-bit program opens the slot, and the
    // host started from the installed folder answers for the codec.
    WritePrivateProfileStringA("tdl0", "iEnable", "1", RealSettingsFile().c_str());
    WritePrivateProfileStringA("tdl0", "dwFcc", "0x656C726D", RealSettingsFile().c_str());
    EXPECT_EQ(0, RunToExit(folder + "\\TandrelMng.exe", "/reg:tdl0"));
    EXPECT_EQ(ShortPath(folder + "\\TandrelDrv64.dll"), SlotDriverValue(0));
    HIC codec = ICOpen(ICTYPE_VIDEO, mmioFOURCC('t', 'd', 'l', '0'), ICMODE_COMPRESS);
    ASSERT_NE(nullptr, codec);
    BITMAPINFO input = {MakeHeader(64, 48, 8, BI_RGB, 64 * 48, 1), {}};
    EXPECT_EQ(ICERR_OK, ICCompressQuery(codec, &input, nullptr));
    EXPECT_EQ(ICERR_OK, ICClose(codec));

    // The uninstaller goes on from a copy of itself: done when the folder
    // and the entry are gone. Yes to the settings-file question.
    TestProcess uninstall;
    ASSERT_TRUE(uninstall.Start(folder + "\\Uninstall.exe", "/S"));
    EXPECT_TRUE(WaitAnswering(
        [&] { return !PathExists(folder) && UninstallValue("DisplayName") == kMissingValue; }, IDYES, &seen));
    EXPECT_NE(std::string::npos, seen.find(RealSettingsFile())) << seen;
    for (int slot = 0; slot < 10; ++slot)
        EXPECT_EQ(kMissingValue, SlotDriverValue(slot)) << slot;
    EXPECT_FALSE(PathExists(RealSettingsDirectory()));
}

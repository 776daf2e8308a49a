// Renders the configuration tool's dialogs for the documentation: in each
// language, the main dialog with two slots chosen, the installation dialog,
// the About box, the result of "Test slots" (with a third slot ticked
// without a codec) and the first page of the Windows installer, saved as
// "<dialog>_<ja|en>.bmp" in the folder given as the argument. Run by
// scripts/screenshots.sh; the settings file and the slots' registrations
// are put back as they were.

#include <windows.h>

#include <cstdio>
#include <string>

#include "bitmap_header.h"
#include "dialog_driver.h"
#include "drivers32_values.h"
#include "settings_files.h"
#include "test_process.h"
#include "ui/about_dlg_res.h"
#include "ui/config_dlg_res.h"
#include "ui/install_dlg_res.h"
#include "ui/slot_row_res.h"
#include "ui/slot_test_dlg_res.h"

namespace {

// The window as it is on the screen, as a 24-bit bitmap file.
bool SaveWindow(HWND window, const std::string& path)
{
    Sleep(500); // let it paint
    RECT rect = {};
    GetWindowRect(window, &rect);
    BITMAPINFO info = {};
    info.bmiHeader = MakeHeader(rect.right - rect.left, rect.bottom - rect.top, 24);
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, info.bmiHeader.biWidth, info.bmiHeader.biHeight, screen, rect.left, rect.top,
           SRCCOPY);
    GdiFlush();
    DWORD headers = sizeof(BITMAPFILEHEADER) + sizeof info.bmiHeader;
    DWORD size = ((info.bmiHeader.biWidth * 3 + 3) & ~3) * info.bmiHeader.biHeight;
    BITMAPFILEHEADER file = {0x4D42, headers + size, 0, 0, headers};
    std::string contents(reinterpret_cast<const char*>(&file), sizeof file);
    contents.append(reinterpret_cast<const char*>(&info.bmiHeader), sizeof info.bmiHeader);
    contents.append(static_cast<const char*>(bits), size);
    SelectObject(memory, old);
    DeleteDC(memory);
    DeleteObject(bitmap);
    ReleaseDC(nullptr, screen);
    return WriteWholeFile(path, contents);
}

// Opens a dialog from the main dialog's menu, saves it and closes it.
bool SaveMenuDialog(DWORD processId, HWND dialog, int command, int control, const std::string& path)
{
    PostCommand(dialog, command);
    HWND opened = WaitForDialog(processId, {control});
    bool saved = opened != nullptr && SaveWindow(opened, path);
    PostMessageW(opened, WM_CLOSE, 0, 0);
    return saved && WaitUntilClosed(opened, 5000);
}

// The installer's first page in the language its chooser starts at, the
// stored one; Setup is then cancelled, so nothing is installed.
bool SaveInstallerPage(const std::string& path)
{
    TestProcess setup;
    setup.Start(BinPath("Tandrel64Setup.exe"), "");
    HWND chooser = WaitForDialog(setup.Id(), {IDOK});
    PostCommand(chooser, IDOK);
    HWND wizard = WaitUntilClosed(chooser, 5000) ? WaitForDialog(setup.Id(), {IDCANCEL}) : nullptr;
    bool saved = wizard != nullptr && SaveWindow(wizard, path);
    PostCommand(wizard, IDCANCEL);
    AnswerMessageBox(WaitForDialog(setup.Id(), {IDYES}), IDYES); // quit Setup?
    return setup.WaitForExit(10000) && saved;
}

bool SaveLanguage(const std::string& folder, int language, const char* suffix)
{
    const char* codecs = "\r\n[CODEC32.mrle]\r\npcFcc=mrle\r\n[CODEC32.cvid]\r\npcFcc=cvid\r\n";
    WriteWholeFile(RealSettingsFile(), "[MAIN]\r\nlanguage=" + std::to_string(language) + codecs);
    TestProcess process;
    process.Start(BinPath("Tandrel64.exe"), "");
    HWND dialog = WaitForDialog(process.Id(), {IDC_TIMEOUT});
    if (dialog == nullptr)
        return false;
    for (int slot = 0; slot < 2; ++slot) {
        HWND row = SlotRow(dialog, slot);
        ChooseComboItem(row, IDC_CODEC, ComboItems(row, IDC_CODEC).at(static_cast<size_t>(slot) + 1));
        Click(row, IDC_ENABLE);
    }
    std::string tail = std::string("_") + suffix + ".bmp";
    bool saved = SaveWindow(dialog, folder + "\\main" + tail)
        && SaveMenuDialog(process.Id(), dialog, IDM_INSTALL_CODEC, IDC_INSTALL, folder + "\\install" + tail)
        && SaveMenuDialog(process.Id(), dialog, IDM_ABOUT, IDC_ABOUT_TEXT, folder + "\\about" + tail);
    Click(SlotRow(dialog, 2), IDC_ENABLE);
    saved = saved
        && SaveMenuDialog(process.Id(), dialog, IDM_TEST_SLOTS, IDC_SLOT_TEST_RESULTS,
                          folder + "\\slottest" + tail);
    PostMessageW(dialog, WM_CLOSE, 0, 0);
    return process.WaitForExit(10000) && saved && SaveInstallerPage(folder + "\\installer" + tail);
}

}

int main(int argc, char** argv)
{
    if (argc != 2)
        return 2; // ui_screenshots <folder>
    CreateRealSettingsDirectory();
    SlotDriversSnapshot slotDrivers;
    std::string kept;
    bool hadSettings = ReadWholeFile(RealSettingsFile(), &kept);
    bool saved = SaveLanguage(argv[1], 0, "ja") && SaveLanguage(argv[1], 1, "en");
    hadSettings ? WriteWholeFile(RealSettingsFile(), kept) : DeleteFileA(RealSettingsFile().c_str());
    std::fprintf(saved ? stdout : stderr, saved ? "saved in %s\n" : "could not save in %s\n", argv[1]);
    return saved ? 0 : 1;
}

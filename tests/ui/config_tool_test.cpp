#include <windows.h>
#include <vfw.h>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "build_date.h"
#include "catalogue/codec_info.h"
#include "catalogue/fourcc.h"
#include "dialog_driver.h"
#include "drivers32_values.h"
#include "settings/ui_language.h"
#include "settings_files.h"
#include "test_codec_script.h"
#include "test_process.h"
#include "tool_folder.h"
#include "ui/about_dlg_res.h"
#include "ui/config_dlg_res.h"
#include "ui/install_dlg_res.h"
#include "ui/slot_row_res.h"
#include "ui/ui_text.h"

// Configuration mode driven from outside, as a user would: Tandrel64.exe
// runs from a folder of its own beside the recording manager-tool stand-in
// and the real installer tool.

namespace {

const char kClear[] = "------   Clear   ------";

std::string Ini(const std::string& section, const char* key)
{
    char value[MAX_PATH];
    GetPrivateProfileStringA(section.c_str(), key, "<missing>", value, MAX_PATH, RealSettingsFile().c_str());
    return value;
}

std::string Position(HWND window)
{
    RECT rect = {};
    GetWindowRect(window, &rect);
    return std::to_string(rect.left) + "," + std::to_string(rect.top);
}

bool ApplyEnabled(HWND dialog)
{
    return IsWindowEnabled(GetDlgItem(dialog, IDC_APPLY)) != FALSE;
}

// Version, description and driver as a row shows them.
std::vector<std::string> CodecTexts(HWND row)
{
    return {ItemText(row, IDC_VERSION), ItemText(row, IDC_DESCRIPTION), ItemText(row, IDC_DRIVER)};
}

std::string Selected(HWND row)
{
    int index = static_cast<int>(SendDlgItemMessageW(row, IDC_CODEC, CB_GETCURSEL, 0, 0));
    return index < 0 ? "<none>" : ComboItems(row, IDC_CODEC).at(static_cast<size_t>(index));
}

// Polls until the list shows `items`; the tools run while the dialog waits.
std::vector<std::string> WaitForList(HWND dialog, const std::vector<std::string>& items)
{
    std::vector<std::string> shown;
    for (int i = 0; i < 1000 && (shown = ListItems(dialog, IDC_CODEC_LIST)) != items; ++i)
        Sleep(10);
    return shown;
}

class ConfigToolTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        RemoveRealSettings();
        CreateRealSettingsDirectory();
        for (const char* file : {"Tandrel64.exe", "fakes\\TandrelMng.exe", "QelInstall32.exe"})
            ASSERT_TRUE(folder.Add(file));
    }
    void TearDown() override
    {
        process.Terminate();
        RemoveRealSettings();
        for (const char* fcc : {"tui1", "tuf2"})
            UnregisterTestCodec(fcc);
    }

    void WriteSettings(const std::string& contents) { ASSERT_TRUE(WriteWholeFile(RealSettingsFile(), contents)); }

    // The recording test codec as "vidc.<fcc>", named `name`, version 7.
    void AddCodec(const char* fcc, const std::string& name, HKEY root = HKEY_LOCAL_MACHINE)
    {
        ASSERT_TRUE(codecs.SetTestCodec(root, std::string("vidc.") + fcc));
        scripts.emplace_back(new TestCodecScript());
        ASSERT_TRUE(scripts.back()->Create(FourCCFromText(fcc)));
        TestCodecControl* control = scripts.back()->Control();
        SetScriptText(control->name, 16, name.c_str());
        SetScriptText(control->description, 128, (name + " codec").c_str());
        SetScriptText(control->driver, 128, (name + ".dll").c_str());
        control->version = 7;
    }

    // Starts the program and waits for its main dialog.
    HWND Start(const std::string& arguments = "")
    {
        EXPECT_TRUE(process.Start(folder.PathOf("Tandrel64.exe"), arguments));
        return WaitForDialog(process.Id(), {IDC_TIMEOUT});
    }

    bool Ended() { return process.WaitForExit(20000); }

    // The manager tool's run for slots ticked as in "0010000000".
    std::string ManagerRun(const std::string& ticked) const
    {
        std::string run = "\"" + folder.PathOf("TandrelMng.exe") + "\" ";
        for (int i = 0; i < 10; ++i)
            run += (ticked[i] == '1' ? "/reg:tdl" : "/unreg:tdl") + std::to_string(i) + " ";
        return run;
    }

    ToolFolder folder {"config"};
    TestProcess process;
    Drivers32Values codecs;
    std::vector<std::unique_ptr<TestCodecScript>> scripts;
};

}

TEST_F(ConfigToolTest, FirstStartShowsAndStoresTheDefaultsAndOnlyTheCloseBoxCloses)
{
    HWND dialog = Start("/name:tdl3"); // without /map: still configuration mode
    ASSERT_NE(nullptr, dialog);
    EXPECT_EQ("Tandrel64 Config Ve1.00", TextOf(dialog));
    EXPECT_EQ("100,100", Position(dialog));
    EXPECT_EQ("1", ItemText(dialog, IDC_TIMEOUT));
    EXPECT_FALSE(ApplyEnabled(dialog));
    for (int i = 0; i < 10; ++i) {
        HWND row = SlotRow(dialog, i);
        ASSERT_NE(nullptr, row) << i;
        EXPECT_FALSE(IsChecked(row, IDC_ENABLE));
        EXPECT_EQ("<none>", Selected(row));
        EXPECT_EQ(kClear, ComboItems(row, IDC_CODEC).front());
    }
    char country[MAX_PATH] = "";
    GetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_SENGCOUNTRY, country, MAX_PATH);
    EXPECT_EQ(std::to_string(UiLanguageFromCountry(country)), Ini("MAIN", "language"));
    EXPECT_EQ("100", Ini("CDLG_MAIN", "rcWnd.rcLeft"));
    EXPECT_EQ("1", Ini("GENERAL", "iTimeout"));
    EXPECT_EQ("0x00000000", Ini("tdl9", "dwFcc"));

    PostMessageW(dialog, WM_KEYDOWN, VK_ESCAPE, 0);
    PostCommand(dialog, IDOK);
    PostCommand(dialog, IDCANCEL);
    EXPECT_FALSE(process.WaitForExit(500));
    PostMessageW(dialog, WM_SYSCOMMAND, SC_CLOSE, 0);
    EXPECT_TRUE(Ended());
    EXPECT_TRUE(folder.Calls().empty());
}

TEST_F(ConfigToolTest, ChosenAndTickedSlotIsAppliedAndClearEmptiesIt)
{
    AddCodec("tua1", "Alpha");
    HWND dialog = Start();
    HWND row = SlotRow(dialog, 2);
    ASSERT_NE(nullptr, row);
    ASSERT_TRUE(ChooseComboItem(row, IDC_CODEC, "tua1 - Alpha"));
    EXPECT_FALSE(IsChecked(row, IDC_ENABLE));
    EXPECT_TRUE(ApplyEnabled(dialog));
    EXPECT_EQ((std::vector<std::string> {"7", "Alpha codec", "Alpha.dll"}), CodecTexts(row));
    Click(row, IDC_ENABLE);
    Click(dialog, IDC_APPLY);
    EXPECT_FALSE(ApplyEnabled(dialog));
    EXPECT_EQ((std::vector<std::string> {ManagerRun("0010000000"), "ended"}), folder.Calls());
    std::string stored;
    for (const char* key : {"iEnable", "pcFccName", "dwFcc", "pcFcc", "pcName", "pcVersion", "pcDesc", "pcDriver"})
        stored += Ini("tdl2", key) + "|";
    EXPECT_EQ("1|tua1 - Alpha|0x31617574|tua1|Alpha|7|Alpha codec|Alpha.dll|", stored);

    // Clear unticks and empties the row; ticking again keeps nothing.
    ASSERT_TRUE(ChooseComboItem(row, IDC_CODEC, kClear));
    EXPECT_FALSE(IsChecked(row, IDC_ENABLE));
    EXPECT_EQ((std::vector<std::string> {"", "", ""}), CodecTexts(row));
    Click(row, IDC_ENABLE);
    Click(dialog, IDC_OK);
    ASSERT_TRUE(Ended());
    EXPECT_EQ(ManagerRun("0000000000"), folder.Calls().at(2));
    EXPECT_EQ("0", Ini("tdl2", "iEnable"));
    EXPECT_EQ("", Ini("tdl2", "pcFccName"));
    EXPECT_EQ("0x00000000", Ini("tdl2", "dwFcc"));
}

TEST_F(ConfigToolTest, CancelKeepsHeldValuesAndPositionWithoutToolAndMinimisedCloseKeepsTheRectangle)
{
    AddCodec("tub1", "Beta");
    WriteSettings("[tdl1]\r\niEnable=1\r\npcFccName=tub1 - Beta\r\ndwFcc=0x31627574\r\n");
    HWND dialog = Start();
    HWND row = SlotRow(dialog, 1);
    EXPECT_TRUE(IsChecked(row, IDC_ENABLE));
    EXPECT_EQ("tub1 - Beta", Selected(row));
    ASSERT_TRUE(ChooseComboItem(row, IDC_CODEC, kClear));
    SetWindowPos(dialog, nullptr, 150, 160, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    Click(dialog, IDC_CANCEL);
    ASSERT_TRUE(Ended());
    EXPECT_TRUE(folder.Calls().empty());
    EXPECT_EQ("1", Ini("tdl1", "iEnable"));
    EXPECT_EQ("tub1 - Beta", Ini("tdl1", "pcFccName"));
    EXPECT_EQ("160", Ini("CDLG_MAIN", "rcWnd.rcTop"));

    dialog = Start();
    EXPECT_EQ("150,160", Position(dialog));
    SendMessageW(dialog, WM_SYSCOMMAND, SC_MINIMIZE, 0);
    PostMessageW(dialog, WM_CLOSE, 0, 0);
    ASSERT_TRUE(Ended());
    EXPECT_EQ("150", Ini("CDLG_MAIN", "rcWnd.rcLeft"));
}

TEST_F(ConfigToolTest, SavedChoiceIsFoundByPrefixButNeverMovesToAnotherCodec)
{
    AddCodec("tuc1", "Gamma");
    AddCodec("tud1", "Delta 2");
    // Slot 1's codec "tux1" is gone; the item of another codec begins with its text.
    WriteSettings("[tdl0]\r\npcFccName=TUC1 - GAM\r\ndwFcc=0x31637574\r\n"
                  "[tdl1]\r\niEnable=1\r\npcFccName=tud1 - Delta\r\ndwFcc=0x31787574\r\npcDesc=Gone codec\r\n");
    HWND dialog = Start();
    HWND row0 = SlotRow(dialog, 0);
    HWND row1 = SlotRow(dialog, 1);
    EXPECT_EQ("tuc1 - Gamma", Selected(row0));
    EXPECT_EQ("<none>", Selected(row1));
    EXPECT_EQ("Gone codec", ItemText(row1, IDC_DESCRIPTION));
    Click(row1, IDC_ENABLE);
    Click(dialog, IDC_OK);
    ASSERT_TRUE(Ended());
    EXPECT_EQ(ManagerRun("0000000000"), folder.Calls().at(0));
    EXPECT_EQ("tuc1 - Gamma", Ini("tdl0", "pcFccName"));
    EXPECT_EQ("0x31787574", Ini("tdl1", "dwFcc"));
    EXPECT_EQ("0", Ini("tdl1", "iEnable"));
}

TEST_F(ConfigToolTest, FirstInstallStartMakesTheDirectoryAndAppliesBeforeShowing)
{
    RemoveRealSettings();
    HWND dialog = Start("/Install"); // not the option: nothing is created
    ASSERT_NE(nullptr, dialog);
    PostMessageW(dialog, WM_CLOSE, 0, 0);
    ASSERT_TRUE(Ended());
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesA(RealSettingsDirectory().c_str()));

    dialog = Start("/install");
    ASSERT_NE(nullptr, dialog);
    EXPECT_EQ((std::vector<std::string> {ManagerRun("0000000000"), "ended"}), folder.Calls());
    EXPECT_FALSE(ApplyEnabled(dialog));
    // The directory came after the language step: no language, no iLog.
    EXPECT_EQ("<missing>", Ini("MAIN", "language"));
    EXPECT_EQ("<missing>", Ini("GENERAL", "iLog"));
    EXPECT_EQ("1", Ini("GENERAL", "iTimeout"));
}

TEST_F(ConfigToolTest, InstallStartGivesThePreferredCodecsTheFirstSlotsInCatalogueOrder)
{
    AddCodec("ZRC2", "Zc");
    AddCodec("zrb3", "Zb");
    AddCodec("Zrb2", "Zb2", HKEY_CURRENT_USER);
    AddCodec("tue1", "Epsilon");
    WriteSettings("[tdl0]\r\npcFccName=tue1 - Epsilon\r\npcFcc=tue1\r\n"
                  "[tdl3]\r\niEnable=1\r\npcFccName=tue1 - Epsilon\r\npcFcc=tue1\r\n");
    // The registry's order of the machine's codecs, then the user's.
    std::vector<std::string> order;
    for (const std::string& name : Drivers32ValueNames(HKEY_LOCAL_MACHINE)) {
        if (name == "vidc.ZRC2" || name == "vidc.zrb3")
            order.push_back(name.substr(5));
    }
    order.push_back("Zrb2");
    ASSERT_EQ(3u, order.size());

    HWND dialog = Start("/install");
    ASSERT_NE(nullptr, dialog);
    EXPECT_EQ(ManagerRun("1111000000"), folder.Calls().at(0));
    EXPECT_FALSE(ApplyEnabled(dialog));
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(order[i], Ini("tdl" + std::to_string(i), "pcFcc"));
        EXPECT_TRUE(IsChecked(SlotRow(dialog, i), IDC_ENABLE));
    }
    EXPECT_EQ((std::vector<std::string> {"7", "Zb codec", "Zb.dll"}), CodecTexts(SlotRow(dialog, 0)));
    EXPECT_EQ("tue1", Ini("tdl3", "pcFcc"));
}

TEST_F(ConfigToolTest, LanguageSwitchIsStoredAndFollowedByLaterDialogsOnly)
{
    WriteSettings("[MAIN]\r\nlanguage=0\r\n");
    HWND dialog = Start("/map:x"); // without /name: still configuration mode
    ASSERT_NE(nullptr, dialog);
    struct Switch {
        int command;
        const char* notice;
        const char* stored;
        const char* installCaption;
    };
    for (const Switch& to : {Switch {IDM_ENGLISH, "Please restart Application.", "1", "Install"},
                             Switch {IDM_JAPANESE, "アプリケーションを再スタートして下さい。", "0", "登録"},
                             Switch {IDM_JAPANESE, "アプリケーションを再スタートして下さい。", "0", "登録"}}) {
        PostCommand(dialog, to.command);
        MessageBoxSeen notice = AnswerNextBox(process.Id(), IDOK);
        EXPECT_EQ("Tandrel64", notice.caption);
        EXPECT_EQ(to.notice, notice.text);
        EXPECT_EQ(dialog, notice.owner);
        EXPECT_EQ(to.stored, Ini("MAIN", "language"));
        EXPECT_EQ("キャンセル", ItemText(dialog, IDC_CANCEL));

        PostCommand(dialog, IDM_INSTALL_CODEC);
        HWND install = WaitForDialog(process.Id(), {IDC_INSTALL});
        EXPECT_EQ(to.installCaption, ItemText(install, IDC_INSTALL));
        PostMessageW(install, WM_CLOSE, 0, 0);
        EXPECT_TRUE(WaitUntilClosed(install, 5000));
    }
    MessageBoxSeen none;
    EXPECT_FALSE(WaitForMessageBox(process.Id(), 300, &none)) << none.text;
}

TEST_F(ConfigToolTest, AboutShowsTheBuildAndClosesOnlyByItsCloseBoxAndTheSettingsOpenInNotepad)
{
    HWND dialog = Start();
    PostCommand(dialog, IDM_ABOUT);
    HWND about = WaitForDialog(process.Id(), {IDC_ABOUT_TEXT});
    ASSERT_NE(nullptr, about);
    char date[16];
    FormatBuildDate(TANDREL_BUILD_DATE, date);
    EXPECT_EQ(std::string("\r\nTandrel64 Ver1.00\r\nBuild:") + date
                  + "\r\n\r\nCopyright (C) 2026 The Tandrel64 developers\r\nsupport@tandrel64.org\r\n"
                    "https://tandrel64.org/\r\n",
              ItemText(about, IDC_ABOUT_TEXT));
    PostMessageW(about, WM_KEYDOWN, VK_ESCAPE, 0);
    PostCommand(about, IDCANCEL);
    EXPECT_FALSE(WaitUntilClosed(about, 300));
    PostMessageW(about, WM_CLOSE, 0, 0);
    EXPECT_TRUE(WaitUntilClosed(about, 5000));

    PostCommand(dialog, IDM_OPEN_SETTINGS);
    HWND notepad = nullptr;
    for (int i = 0; i < 1000 && notepad == nullptr; ++i, Sleep(10))
        notepad = FindWindowW(L"Notepad", nullptr);
    ASSERT_NE(nullptr, notepad);
    EXPECT_NE(std::string::npos, TextOf(notepad).find("Tandrel64.ini"));
    PostMessageW(notepad, WM_CLOSE, 0, 0);
}

TEST_F(ConfigToolTest, InstallationDialogInstallsListsAndUninstallsThroughTheInstallerTool)
{
    TestCodecScript decompressOnly;
    ASSERT_TRUE(decompressOnly.Create(FourCCFromText("tuf2")));
    decompressOnly->refuseOpenModes = 1u << ICMODE_COMPRESS;
    WriteSettings("[MAIN]\r\nlanguage=1\r\n[CDLG_INSTALL]\r\nrcWnd.rcLeft=120\r\nrcWnd.rcTop=130\r\n"
                  "rcWnd.rcRight=500\r\nrcWnd.rcBottom=700\r\n[CODEC32.tuo1]\r\npcFcc=tuo1\r\n");
    HWND dialog = Start();
    PostCommand(dialog, IDM_INSTALL_CODEC);
    HWND install = WaitForDialog(process.Id(), {IDC_INSTALL});
    ASSERT_NE(nullptr, install);
    EXPECT_EQ("120,130", Position(install));
    EXPECT_EQ(std::vector<std::string> {"tuo1 - "}, ListItems(install, IDC_CODEC_LIST));

    const std::string dll = BinPath(kTestCodecDllName);
    const char* badFourCC = "Please enter a FourCC of 1 to 4 characters\n(without : \" or \\).";
    struct Refusal {
        const char* fcc;
        std::string path;
        const char* message;
    };
    for (const Refusal& refusal : {Refusal {"", dll, badFourCC}, Refusal {"tu:1", dll, badFourCC},
                                   Refusal {"tuf1", "C:\\tandrel-missing.dll", "The DLL file was not found."},
                                   Refusal {"tuf2", dll, "Install failed."}}) {
        SetItemText(install, IDC_FOURCC, refusal.fcc);
        SetItemText(install, IDC_DLL_PATH, refusal.path);
        PostCommand(install, IDC_INSTALL);
        MessageBoxSeen box = AnswerNextBox(process.Id(), IDOK);
        EXPECT_EQ("Tandrel64", box.caption);
        EXPECT_EQ(refusal.message, box.text) << refusal.fcc;
        EXPECT_EQ(install, box.owner);
    }
    // Only the decompress-only codec reached the installer; its section stays.
    EXPECT_EQ(dll, Ini("CODEC32.tuf2", "pcDllPath"));
    EXPECT_EQ("<missing>", Ini("CODEC32.tuf1", "pcFcc"));
    EXPECT_EQ(std::vector<std::string> {"tuo1 - "}, ListItems(install, IDC_CODEC_LIST));

    ASSERT_TRUE(DropFiles(process.Handle(), install, {dll, "C:\\second.dll"}));
    EXPECT_EQ(dll, ItemText(install, IDC_DLL_PATH));
    SetItemText(install, IDC_FOURCC, "tui1");
    Click(install, IDC_INSTALL);
    EXPECT_EQ((std::vector<std::string> {"tui1 - TestCodec", "tuo1 - "}), ListItems(install, IDC_CODEC_LIST));
    EXPECT_EQ(dll, Ini("CODEC32.tui1", "pcDllPath"));
    PostCommand(install, IDC_INSTALL);
    EXPECT_EQ("Already installed.", AnswerNextBox(process.Id(), IDOK).text);

    SendDlgItemMessageW(install, IDC_CODEC_LIST, LB_SETCURSEL, 0, 0);
    PostCommand(install, IDC_UNINSTALL);
    MessageBoxSeen question = AnswerNextBox(process.Id(), IDYES);
    EXPECT_EQ("Do you uninstall codec ?\nFourCC: tui1", question.text);
    EXPECT_EQ(nullptr, question.owner);
    EXPECT_EQ(IDNO, question.defaultButton);
    EXPECT_EQ(std::vector<std::string> {"tuo1 - "}, WaitForList(install, {"tuo1 - "}));
    EXPECT_EQ("<missing>", Ini("CODEC32.tui1", "pcFcc"));
    EXPECT_FALSE(IsCodecInstalled(FourCCFromText("tui1")));

    PostCommand(install, IDM_UNINSTALL_ALL);
    EXPECT_EQ("Do you uninstall all codec ?", AnswerNextBox(process.Id(), IDYES).text);
    EXPECT_TRUE(WaitForList(install, {}).empty());
    EXPECT_EQ("<missing>", Ini("CODEC32.tuf2", "pcFcc"));

    SetWindowPos(install, nullptr, 140, 150, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    PostCommand(install, IDC_CLOSE);
    MessageBoxSeen notice = AnswerNextBox(process.Id(), IDOK);
    EXPECT_EQ("Please restart Application.", notice.text);
    EXPECT_EQ(install, notice.owner);
    EXPECT_TRUE(WaitUntilClosed(install, 5000));
    EXPECT_EQ("140", Ini("CDLG_INSTALL", "rcWnd.rcLeft"));
}

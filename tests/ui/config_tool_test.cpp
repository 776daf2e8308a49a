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

// Configuration mode driven from outside, as a user would: Tandrel64.exe
// runs from a folder of its own beside the recording manager-tool stand-in
// and the real installer tool (or its stand-in, where a test makes it fail).

namespace {

using Texts = std::vector<std::string>;

const char kClear[] = "------   Clear   ------";

std::string Ini(const std::string& section, std::initializer_list<const char*> keys)
{
    return StoredValues(RealSettingsFile(), section, keys);
}

std::string Position(HWND window)
{
    RECT rect = {};
    GetWindowRect(window, &rect);
    return std::to_string(rect.left) + "," + std::to_string(rect.top);
}

// What a row shows: its check, its choice, its version, description and driver.
Texts Row(HWND row)
{
    int index = static_cast<int>(SendDlgItemMessageW(row, IDC_CODEC, CB_GETCURSEL, 0, 0));
    return {IsChecked(row, IDC_ENABLE) ? "ticked" : "unticked",
            index < 0 ? "<none>" : ComboItems(row, IDC_CODEC).at(static_cast<size_t>(index)),
            ItemText(row, IDC_VERSION), ItemText(row, IDC_DESCRIPTION), ItemText(row, IDC_DRIVER)};
}

// Polls until the list shows `items`: the dialog is busy while a tool runs.
Texts WaitForList(HWND dialog, const Texts& items)
{
    Texts shown;
    PollUntil(10000, [&] { return (shown = ListItems(dialog, IDC_CODEC_LIST)) == items; });
    return shown;
}

// A top-level window of that class that the process shows; null when none.
HWND TopWindowOf(DWORD pid, const WCHAR* windowClass)
{
    for (HWND window = nullptr; (window = FindWindowExW(nullptr, window, windowClass, nullptr)) != nullptr;) {
        DWORD owner = 0;
        GetWindowThreadProcessId(window, &owner);
        if (owner == pid)
            return window;
    }
    return nullptr;
}

bool Enabled(HWND dialog, int id)
{
    return IsWindowEnabled(GetDlgItem(dialog, id)) != FALSE;
}

int DroppedWidthBeyondTheBox(HWND row)
{
    RECT rect = {};
    GetWindowRect(GetDlgItem(row, IDC_CODEC), &rect);
    return static_cast<int>(SendDlgItemMessageW(row, IDC_CODEC, CB_GETDROPPEDWIDTH, 0, 0))
        - (rect.right - rect.left);
}

// Sends a key as the user's keyboard does, to the control that has the
// focus, and returns the tab stop that has it afterwards. The dialog shows a
// moment before it is activated and its first control takes the focus, so
// the key waits for that; a label's mnemonic passes the focus through the
// label on its way to the label's control.
HWND PressKey(HWND dialog, UINT message, WPARAM key)
{
    GUITHREADINFO info = {};
    info.cbSize = sizeof info;
    DWORD thread = GetWindowThreadProcessId(dialog, nullptr);
    auto focusOnTabStop = [&] {
        return GetGUIThreadInfo(thread, &info) && IsChild(dialog, info.hwndFocus)
            && (GetWindowLongW(info.hwndFocus, GWL_STYLE) & WS_TABSTOP) != 0;
    };
    PollUntil(2000, focusOnTabStop);
    HWND before = info.hwndFocus;
    PostMessageW(before != nullptr ? before : dialog, message, key, 0);
    PollUntil(2000, [&] { return focusOnTabStop() && info.hwndFocus != before; });
    return info.hwndFocus;
}

// While it lives, ".html" files open with `program` (a test prefix has no
// browser for them); the prefix's own association comes back afterwards.
class PageOpener {
public:
    explicit PageOpener(const std::string& program)
    {
        DWORD size = sizeof saved;
        hadOne = RegGetValueA(HKEY_CLASSES_ROOT, ".html", nullptr, RRF_RT_REG_SZ, nullptr, saved, &size)
            == ERROR_SUCCESS;
        SetText(".html", kProgId);
        SetText(std::string(kProgId) + "\\shell\\open\\command", "\"" + program + "\" \"%1\"");
    }
    ~PageOpener()
    {
        if (hadOne)
            SetText(".html", saved);
        else
            RegDeleteTreeA(HKEY_CLASSES_ROOT, ".html");
        RegDeleteTreeA(HKEY_CLASSES_ROOT, kProgId);
    }
    PageOpener(const PageOpener&) = delete;
    PageOpener& operator=(const PageOpener&) = delete;

private:
    static void SetText(const std::string& key, const std::string& text)
    {
        RegSetKeyValueA(HKEY_CLASSES_ROOT, key.c_str(), nullptr, REG_SZ, text.c_str(),
                        static_cast<DWORD>(text.size() + 1));
    }

    static constexpr const char* kProgId = "Tandrel64Test.Page";
    char saved[MAX_PATH] = "";
    bool hadOne = false;
};

class ConfigToolTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        RemoveRealSettings();
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

    void WriteSettings(const std::string& text)
    {
        CreateRealSettingsDirectory();
        ASSERT_TRUE(WriteWholeFile(RealSettingsFile(), text));
    }

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
        HWND dialog = WaitForDialog(process.Id(), {IDC_TIMEOUT});
        EXPECT_NE(nullptr, dialog) << arguments;
        return dialog;
    }

    bool Ended() { return process.WaitForExit(20000); }

    // Posts the command and answers the message box that follows.
    MessageBoxSeen Answered(HWND dialog, int id, int button = IDOK)
    {
        PostCommand(dialog, id);
        return AnswerNextBox(process.Id(), button);
    }

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

// Without a settings folder (a user who never ran /install) the first save
// makes it: the slots applied reach the driver and the next start, with the
// modes the codec opens in (Alpha only decodes). A codec that refuses every
// open is listed without its texts.
TEST_F(ConfigToolTest, FirstStartShowsTheDefaultsAndApplyStoresThemWithoutASettingsFolder)
{
    AddCodec("tua1", "Alpha");
    scripts.back()->Control()->refuseOpenModes = (1u << ICMODE_COMPRESS) | (1u << ICMODE_FASTCOMPRESS);
    AddCodec("tuw1", std::string(15, 'W'));
    AddCodec("tur1", "Refusing");
    scripts.back()->Control()->refuseOpenModes = ~0u;
    HWND dialog = Start("/name:tdl3"); // without /map: still configuration mode
    EXPECT_EQ("Tandrel64 Config Ve1.00", TextOf(dialog));
    EXPECT_EQ("100,100", Position(dialog));
    EXPECT_EQ("1", ItemText(dialog, IDC_TIMEOUT));
    EXPECT_FALSE(Enabled(dialog, IDC_APPLY));
    for (int i = 0; i < 10; ++i) {
        ASSERT_NE(nullptr, SlotRow(dialog, i)) << i;
        EXPECT_EQ((Texts {"unticked", "<none>", "", "", ""}), Row(SlotRow(dialog, i)));
    }
    EXPECT_GT(DroppedWidthBeyondTheBox(SlotRow(dialog, 0)), 0); // the long item shows whole
    EXPECT_FALSE(PathExists(RealSettingsDirectory()));

    PostMessageW(dialog, WM_KEYDOWN, VK_ESCAPE, 0);
    PostCommand(dialog, IDOK);
    PostCommand(dialog, IDCANCEL);
    EXPECT_TRUE(WaitUntilPostedAreHandled(GetDlgItem(dialog, IDC_TIMEOUT)));
    EXPECT_FALSE(process.WaitForExit(0));

    HWND row = SlotRow(dialog, 2);
    ASSERT_TRUE(ChooseComboItem(row, IDC_CODEC, "tur1 - "));
    EXPECT_EQ((Texts {"unticked", "tur1 - ", "", "", ""}), Row(row));
    ASSERT_TRUE(ChooseComboItem(row, IDC_CODEC, "tua1 - Alpha"));
    EXPECT_EQ((Texts {"unticked", "tua1 - Alpha", "7", "Alpha codec", "Alpha.dll"}), Row(row));
    EXPECT_TRUE(Enabled(dialog, IDC_APPLY));
    Click(row, IDC_ENABLE);
    Click(dialog, IDC_APPLY);
    EXPECT_FALSE(Enabled(dialog, IDC_APPLY));
    EXPECT_EQ((Texts {ManagerRun("0010000000"), "ended"}), folder.Calls());
    EXPECT_EQ("1|tua1 - Alpha|0x31617574|tua1|Alpha|7|Alpha codec|Alpha.dll|0x00000001|0x00000104|0x8000001C",
              Ini("tdl2",
                  {"iEnable", "pcFccName", "dwFcc", "pcFcc", "pcName", "pcVersion", "pcDesc", "pcDriver",
                   "dwFlags", "dwVersionICM", "dwOpenModes"}));
    EXPECT_EQ("100|1", Ini("CDLG_MAIN", {"rcWnd.rcLeft"}) + "|" + Ini("GENERAL", {"iTimeout"}));

    // Clear unticks and empties the row; ticking again keeps nothing.
    ASSERT_TRUE(ChooseComboItem(row, IDC_CODEC, kClear));
    EXPECT_EQ((Texts {"unticked", kClear, "", "", ""}), Row(row));
    Click(row, IDC_ENABLE);
    Click(dialog, IDC_OK);
    ASSERT_TRUE(Ended());
    EXPECT_EQ(ManagerRun("0000000000"), folder.Calls().at(2));
    EXPECT_EQ("0||0x00000000|0x00000000", Ini("tdl2", {"iEnable", "pcFccName", "dwFcc", "dwOpenModes"}));
}

// A saved choice is found by prefix, but never moves to another codec. Cancel
// runs no tool and saves the values held (not the edits) with the new
// position; a close while minimised keeps the last position. OK records the
// codec's entry for every assigned slot, also one whose saved choice names
// the codec as it was called before (no item) and whose section lacks the
// codec's flags, as older versions wrote it.
TEST_F(ConfigToolTest, SavedChoiceIsFoundByPrefixAndCancelKeepsTheHeldValuesAndThePosition)
{
    AddCodec("tuc1", "Gamma");
    AddCodec("tud1", "Delta 2");
    // Slot 1's codec "tux1" is gone; the item of another codec begins with its text.
    WriteSettings("[tdl0]\r\npcFccName=TUC1 - GAM\r\ndwFcc=0x31637574\r\n"
                  "[tdl1]\r\niEnable=1\r\npcFccName=tud1 - Delta\r\ndwFcc=0x31787574\r\npcDesc=Gone\r\n"
                  "[tdl2]\r\niEnable=1\r\npcFccName=tud1 - Old Delta\r\ndwFcc=0x31647574\r\n");
    HWND dialog = Start();
    EXPECT_EQ((Texts {"unticked", "tuc1 - Gamma", "", "", ""}), Row(SlotRow(dialog, 0)));
    EXPECT_EQ((Texts {"ticked", "<none>", "", "Gone", ""}), Row(SlotRow(dialog, 1)));
    EXPECT_EQ(0, DroppedWidthBeyondTheBox(SlotRow(dialog, 0))); // short items: as wide as the box
    ASSERT_TRUE(ChooseComboItem(SlotRow(dialog, 0), IDC_CODEC, kClear));
    SetWindowPos(dialog, nullptr, 150, 160, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    Click(dialog, IDC_CANCEL);
    ASSERT_TRUE(Ended());
    EXPECT_TRUE(folder.Calls().empty());
    EXPECT_EQ("TUC1 - GAM|150|160",
              Ini("tdl0", {"pcFccName"}) + "|" + Ini("CDLG_MAIN", {"rcWnd.rcLeft", "rcWnd.rcTop"}));

    dialog = Start();
    EXPECT_EQ("150,160", Position(dialog));
    Click(SlotRow(dialog, 1), IDC_ENABLE);
    SendMessageW(dialog, WM_SYSCOMMAND, SC_MINIMIZE, 0);
    Click(dialog, IDC_OK);
    ASSERT_TRUE(Ended());
    EXPECT_EQ((Texts {ManagerRun("0010000000"), "ended"}), folder.Calls());
    EXPECT_EQ("0x00000001|0x00000104|Delta 2", Ini("tdl2", {"dwFlags", "dwVersionICM", "pcName"}));
    EXPECT_EQ("tuc1 - Gamma|150|160",
              Ini("tdl0", {"pcFccName"}) + "|" + Ini("CDLG_MAIN", {"rcWnd.rcLeft", "rcWnd.rcTop"}));
    EXPECT_EQ("0|tud1 - Delta|0x31787574", Ini("tdl1", {"iEnable", "pcFccName", "dwFcc"}));
}

TEST_F(ConfigToolTest, InstallStartAppliesBeforeShowingAndGivesThePreferredCodecsTheFirstSlots)
{
    HWND dialog = Start("/Install"); // not the option: no folder before the first save
    EXPECT_FALSE(PathExists(RealSettingsDirectory()));
    PostMessageW(dialog, WM_CLOSE, 0, 0);
    ASSERT_TRUE(Ended());
    RemoveRealSettings();

    // The first /install start makes the directory after the language step.
    dialog = Start("/install");
    EXPECT_EQ((Texts {ManagerRun("0000000000"), "ended"}), folder.Calls());
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(dialog, IDC_APPLY)));
    EXPECT_EQ("<missing>|<missing>|1",
              Ini("MAIN", {"language"}) + "|" + Ini("GENERAL", {"iLog", "iTimeout"}));
    PostMessageW(dialog, WM_CLOSE, 0, 0);
    ASSERT_TRUE(Ended());

    // The catalogue lists the machine's codecs before the user's.
    AddCodec("ZRC2", "Zc");
    AddCodec("Zrb2", "Zb", HKEY_CURRENT_USER);
    // Slot 4 as an older version left it, the codec's name changed since.
    WriteSettings("[tdl0]\r\npcFccName=tue1 - Epsilon\r\npcFcc=tue1\r\n"
                  "[tdl2]\r\niEnable=1\r\npcFccName=tue1 - Epsilon\r\npcFcc=tue1\r\n"
                  "[tdl4]\r\niEnable=1\r\npcFccName=ZRC2 - Old Zc\r\ndwFcc=0x3243525A\r\n");
    dialog = Start("/install");
    EXPECT_EQ(ManagerRun("1110100000"), folder.Calls().at(2));
    EXPECT_EQ("0x00000001|0x00000104|Zc|0x8000003E", Ini("tdl4", {"dwFlags", "dwVersionICM", "pcName", "dwOpenModes"}));
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(dialog, IDC_APPLY)));
    EXPECT_EQ("ZRC2|Zrb2", Ini("tdl0", {"pcFcc"}) + "|" + Ini("tdl1", {"pcFcc"}));
    EXPECT_EQ((Texts {"ticked", "ZRC2 - Zc", "7", "Zc codec", "Zc.dll"}), Row(SlotRow(dialog, 0)));
    EXPECT_EQ((Texts {"ticked", "Zrb2 - ", "", "", ""}), Row(SlotRow(dialog, 1)));
}

TEST_F(ConfigToolTest, LanguageSwitchIsStoredAndFollowedByLaterDialogsOnly)
{
    WriteSettings("[MAIN]\r\nlanguage=0\r\n");
    HWND dialog = Start("/map:x"); // without /name: still configuration mode
    const char* japanese = "アプリケーションを再スタートして下さい。";
    // Menu item, restart notice, stored language, caption of Install.
    for (const Texts& to :
         {Texts {"English", "Please restart Application.", "1", "&Install"},
          Texts {"日本語", japanese, "0", "登録(&I)"}, Texts {"日本語", japanese, "0", "登録(&I)"}}) {
        PostCommand(dialog, to[0] == "English" ? IDM_ENGLISH : IDM_JAPANESE);
        MessageBoxSeen notice = AnswerNextBox(process.Id(), IDOK);
        EXPECT_EQ("Tandrel64", notice.caption);
        EXPECT_EQ(to[1], notice.text);
        EXPECT_EQ(dialog, notice.owner);
        EXPECT_EQ(to[2], Ini("MAIN", {"language"}));
        EXPECT_EQ("キャンセル", ItemText(dialog, IDC_CANCEL));

        PostCommand(dialog, IDM_INSTALL_CODEC);
        HWND install = WaitForDialog(process.Id(), {IDC_INSTALL});
        EXPECT_EQ(to[3], ItemText(install, IDC_INSTALL));
        PostMessageW(install, WM_CLOSE, 0, 0);
        EXPECT_TRUE(WaitUntilClosed(install, 5000));
    }
    // A box that the switch or the close brought would show by the time the
    // thread handles what is posted after them.
    ASSERT_TRUE(WaitUntilPostedAreHandled(GetDlgItem(dialog, IDC_TIMEOUT)));
    MessageBoxSeen none;
    EXPECT_FALSE(WaitForMessageBox(process.Id(), 0, &none)) << none.text;
}

TEST_F(ConfigToolTest, AboutShowsTheBuildAndClosesOnlyByItsCloseBoxAndHelpAndTheSettingsOpen)
{
    WriteSettings("[MAIN]\r\nlanguage=1\r\n");
    HWND dialog = Start();
    PostCommand(dialog, IDM_ABOUT);
    HWND about = WaitForDialog(process.Id(), {IDC_ABOUT_TEXT});
    ASSERT_NE(nullptr, about);
    EXPECT_EQ(std::string("\r\nTandrel64 Ver1.00\r\nBuild:") + TANDREL_BUILD_DATE
                  + "\r\n\r\nCopyright (C) 2026 The Tandrel64 developers\r\nsupport@tandrel64.org\r\n"
                    "https://tandrel64.org/\r\n",
              ItemText(about, IDC_ABOUT_TEXT));
    PostMessageW(about, WM_KEYDOWN, VK_ESCAPE, 0);
    PostCommand(about, IDCANCEL);
    EXPECT_TRUE(WaitUntilPostedAreHandled(GetDlgItem(about, IDC_ABOUT_TEXT)));
    PostMessageW(about, WM_CLOSE, 0, 0);
    EXPECT_TRUE(WaitUntilClosed(about, 5000));

    // Help opens the page of the language beside the program.
    ASSERT_TRUE(folder.Add("fakes\\TandrelSlotTest.exe"));
    ASSERT_TRUE(folder.Add("Tandrel64Help_en.html"));
    ASSERT_TRUE(folder.Add("Tandrel64Help_ja.html"));
    {
        PageOpener opener(folder.PathOf("TandrelSlotTest.exe"));
        PostCommand(dialog, IDM_HELP);
        EXPECT_TRUE(PollUntil(20000, [&] { return folder.Calls().size() == 2; }));
    }
    EXPECT_EQ((Texts {"\"" + folder.PathOf("TandrelSlotTest.exe") + "\" \"" + folder.PathOf("Tandrel64Help_en.html")
                          + "\"",
                      "ended"}),
              folder.Calls());

    // Only a Notepad that this program started counts, not one of the machine's.
    PostCommand(dialog, IDM_OPEN_SETTINGS);
    HWND notepad = nullptr;
    ASSERT_TRUE(PollUntil(10000, [&] {
        for (DWORD pid : DescendantsNamed(process.Id(), "notepad.exe")) {
            if ((notepad = TopWindowOf(pid, L"Notepad")) != nullptr)
                return true;
        }
        return false;
    }));
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
    EXPECT_EQ(Texts {"tuo1 - "}, ListItems(install, IDC_CODEC_LIST));

    // Refused before the installer runs; then without the installer no
    // section is written. A codec that cannot compress is installed, its
    // path (with blanks) reaching the installer whole and registered in its
    // short form.
    const std::string dll = BinPath(kTestCodecDllName);
    const std::string blanks = folder.PathOf(kTestCodecDllName);
    const std::string installer = folder.PathOf("QelInstall32.exe");
    ASSERT_TRUE(folder.Add(kTestCodecDllName));
    const char* badFourCC = "Please enter a FourCC of 1 to 4 ASCII letters, digits, blanks or signs\n"
                            "(without : \" or \\, accented letters, tabs or other control characters).";
    for (const Texts& refusal :
         {Texts {"", dll, badFourCC}, Texts {"tu:1", dll, badFourCC}, Texts {"tu\xE9" "1", dll, badFourCC},
          Texts {"tuf1", "C:\\missing.dll", "The DLL file was not found."},
          Texts {"tuf1", dll,
                 "Install failed.\n" + installer + " was not found. Please reinstall Tandrel64."},
          Texts {"tuf2", blanks,
                 "Installed.\nThis codec can only decompress, so it is not offered for compression."}}) {
        if (refusal[2].find("reinstall") != std::string::npos)
            DeleteFileA(installer.c_str());
        SetDlgItemTextA(install, IDC_FOURCC, refusal[0].c_str());
        SetDlgItemTextA(install, IDC_DLL_PATH, refusal[1].c_str());
        MessageBoxSeen box = Answered(install, IDC_INSTALL);
        EXPECT_EQ("Tandrel64|" + refusal[2], box.caption + "|" + box.text);
        EXPECT_EQ(install, box.owner);
        ASSERT_TRUE(folder.Add("QelInstall32.exe"));
    }
    EXPECT_EQ("<missing>|" + blanks,
              Ini("CODEC32.tuf1", {"pcFcc"}) + "|" + Ini("CODEC32.tuf2", {"pcDllPath"}));
    EXPECT_EQ(ShortPath(blanks), MachineDrivers32Value("vidc.tuf2"));
    EXPECT_EQ((Texts {"tuf2 - ", "tuo1 - "}), ListItems(install, IDC_CODEC_LIST));

    // A dropped DLL fills the path; of several, the first. Where an
    // emulator runs the tool, no drop can be made: the path is typed.
    if (ThirtyTwoBitEmulated()) {
        SetDlgItemTextA(install, IDC_DLL_PATH, dll.c_str());
    } else {
        ASSERT_TRUE(DropFiles(process.Handle(), install, {dll, "C:\\second.dll"}));
        EXPECT_EQ(dll, ItemText(install, IDC_DLL_PATH));
    }
    SetDlgItemTextA(install, IDC_FOURCC, "tui1");
    PostCommand(install, IDC_INSTALL);
    const Texts three = {"tuf2 - ", "tui1 - TestCodec", "tuo1 - "};
    EXPECT_EQ(three, WaitForList(install, three));
    EXPECT_EQ(dll, Ini("CODEC32.tui1", {"pcDllPath"}));
    EXPECT_EQ("Already installed.", Answered(install, IDC_INSTALL).text);

    // Configure and About reach the selected codec, which shows its own box
    // owned by the dialog.
    TestCodecScript installed;
    ASSERT_TRUE(installed.Create(FourCCFromText("tui1")));
    installed->showDialogs = 1;
    SendDlgItemMessageW(install, IDC_CODEC_LIST, LB_SETCURSEL, 1, 0);
    const struct {
        int id;
        std::string text;
    } buttons[] = {{IDC_CODEC_CONFIGURE, "Configure tui1"}, {IDC_CODEC_ABOUT, "About tui1"}};
    for (const auto& button : buttons) {
        MessageBoxSeen box = Answered(install, button.id);
        EXPECT_EQ("Test codec|" + button.text, box.caption + "|" + box.text);
        EXPECT_EQ(install, box.owner);
    }

    // An uninstall the installer fails keeps the codec listed; the dialog
    // takes no input while the installer runs.
    ASSERT_TRUE(folder.Add("fakes\\QelInstall32.exe"));
    folder.SetExitCode("QelInstall32.exe", 3);
    folder.HoldTools();
    SendDlgItemMessageW(install, IDC_CODEC_LIST, LB_SETCURSEL, 1, 0);
    MessageBoxSeen question = Answered(install, IDC_UNINSTALL, IDYES);
    EXPECT_EQ("Do you uninstall codec ?\nFourCC: tui1", question.text);
    EXPECT_EQ(install, question.owner);
    EXPECT_EQ(IDNO, question.defaultButton);
    EXPECT_TRUE(PollUntil(10000, [&] { return !folder.Calls().empty(); }));
    EXPECT_FALSE(IsWindowEnabled(install));
    folder.ReleaseTools();
    EXPECT_EQ("Uninstall failed: the codecs left in the list stay registered.\nThe registry could not be "
              "changed: please try again with administrator rights.",
              AnswerNextBox(process.Id(), IDOK).text);
    EXPECT_EQ(three, ListItems(install, IDC_CODEC_LIST));
    EXPECT_EQ("tui1", Ini("CODEC32.tui1", {"pcFcc"}));

    ASSERT_TRUE(folder.Add("QelInstall32.exe"));
    EXPECT_EQ((std::vector<int> {IDYES, IDNO}), Answered(install, IDC_UNINSTALL, IDYES).buttons);
    EXPECT_EQ((Texts {"tuf2 - ", "tuo1 - "}), WaitForList(install, {"tuf2 - ", "tuo1 - "}));
    EXPECT_EQ("<missing>", Ini("CODEC32.tui1", {"pcFcc"}));
    EXPECT_FALSE(IsCodecInstalled(FourCCFromText("tui1")));

    MessageBoxSeen all = Answered(install, IDM_UNINSTALL_ALL, IDYES);
    EXPECT_EQ("Do you uninstall all codec ?|", all.text + "|" + (all.owner == install ? "" : "not owned"));
    EXPECT_EQ(Texts {}, WaitForList(install, {}));
    EXPECT_EQ("<missing>", Ini("CODEC32.tuf2", {"pcFcc"}));

    SetWindowPos(install, nullptr, 140, 150, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    MessageBoxSeen notice = Answered(install, IDC_CLOSE);
    EXPECT_EQ("Please restart Application.", notice.text);
    EXPECT_EQ(install, notice.owner);
    EXPECT_TRUE(WaitUntilClosed(install, 5000));
    EXPECT_EQ("140|150", Ini("CDLG_INSTALL", {"rcWnd.rcLeft", "rcWnd.rcTop"}));
}

// A failing manager tool is told in the dialog's language and leaves Apply
// enabled to try again; a failed OK keeps the dialog open; the choices are
// saved all the same. While a tool runs the dialog answers (it keeps
// painting) but takes no input; an Apply and a close that arrive meanwhile
// do not run under it: the Apply is dropped, the close follows the run.
TEST_F(ConfigToolTest, ManagerToolFailuresAreToldAndTheDialogStaysAliveButOutOfReachWhileItRuns)
{
    WriteSettings("[MAIN]\r\nlanguage=0\r\n");
    folder.SetExitCode("TandrelMng.exe", 2);
    HWND dialog = Start();
    Click(SlotRow(dialog, 4), IDC_ENABLE);
    for (bool close : {false, true}) {
        folder.HoldTools();
        PostCommand(dialog, IDC_APPLY);
        ASSERT_TRUE(PollUntil(10000, [&] { return folder.Calls().size() % 2 == 1; }));
        EXPECT_FALSE(IsWindowEnabled(dialog));
        DWORD_PTR answer = 0;
        EXPECT_NE(0, SendMessageTimeoutW(dialog, WM_NULL, 0, 0, SMTO_BLOCK, 2000, &answer));
        PostCommand(dialog, IDC_APPLY);
        PostMessageW(dialog, close ? WM_CLOSE : WM_NULL, 0, 0);
        // A close that ran under the tool would have ended the dialog, hiding it.
        EXPECT_TRUE(WaitUntilPostedAreHandled(GetDlgItem(dialog, IDC_TIMEOUT)));
        EXPECT_TRUE(IsWindowVisible(dialog));
        EXPECT_FALSE(process.WaitForExit(0));
        folder.ReleaseTools();
        if (close)
            break;
        MessageBoxSeen box = AnswerNextBox(process.Id(), IDOK);
        EXPECT_EQ(dialog, box.owner);
        EXPECT_EQ(
            "Tandrel64|スロットを登録できませんでした。\nTandrelDrv64.dll が TandrelMng.exe "
            "と同じフォルダーに"
            "ありません。Tandrel64 をインストールし直して下さい。\n「適用」を押すと、もう一度試せます。",
            box.caption + "|" + box.text);
        EXPECT_TRUE(Enabled(dialog, IDC_APPLY));
        EXPECT_EQ("1", Ini("tdl4", {"iEnable"}));

        const std::string manager = folder.PathOf("TandrelMng.exe");
        DeleteFileA(manager.c_str());
        EXPECT_EQ("スロットを登録できませんでした。\n" + manager
                      + " が見つかりません。Tandrel64 をインストール"
                        "し直して下さい。\n「適用」を押すと、もう一度試せます。",
                  Answered(dialog, IDC_OK).text);
        EXPECT_TRUE(Enabled(dialog, IDC_APPLY));
        ASSERT_TRUE(folder.Add("fakes\\TandrelMng.exe"));
        folder.SetExitCode("TandrelMng.exe", 0);
    }
    ASSERT_TRUE(Ended());
    EXPECT_EQ((Texts {ManagerRun("0000100000"), "ended", ManagerRun("0000100000"), "ended"}), folder.Calls());
}

// Tab walks through the enable box and the codec choice of every row,
// scrolling each row into view, and the dialog's own controls; Alt and a
// label's letter reaches its control, Alt and a digit ticks that row.
TEST_F(ConfigToolTest, TabWalksThroughTheRowsAndMnemonicsReachTheirControls)
{
    HWND dialog = Start();
    EXPECT_EQ(GetDlgItem(dialog, IDC_TIMEOUT), PressKey(dialog, WM_SYSCHAR, 't'));
    Texts expected = {"1072", "1073"};
    for (int i = 0; i < 10; ++i) {
        for (int id : {IDC_ENABLE, IDC_CODEC})
            expected.push_back("Tandrel &" + std::to_string(i) + " " + std::to_string(id));
    }
    expected.push_back("1084");
    Texts walk;
    RECT list = {};
    GetWindowRect(GetDlgItem(dialog, IDC_SLOT_LIST), &list);
    for (size_t i = 0; i < expected.size(); ++i) {
        HWND focus = PressKey(dialog, WM_KEYDOWN, VK_TAB);
        HWND row = GetParent(focus);
        // The rows follow the list's scrolling when it repaints.
        bool inView = row == dialog || PollUntil(2000, [&] {
                          RECT shown = {};
                          GetWindowRect(row, &shown);
                          return shown.top > list.top && shown.bottom < list.bottom;
                      });
        walk.push_back((row == dialog ? "" : ItemText(row, IDC_ENABLE) + " ")
                       + std::to_string(GetDlgCtrlID(focus)) + (inView ? "" : " hidden"));
    }
    EXPECT_EQ(expected, walk);

    PostMessageW(dialog, WM_SYSCHAR, '3', 0);
    EXPECT_TRUE(PollUntil(2000, [&] { return IsChecked(SlotRow(dialog, 3), IDC_ENABLE); }));
    EXPECT_TRUE(Enabled(dialog, IDC_APPLY));
    HWND box = GetDlgItem(SlotRow(dialog, 3), IDC_ENABLE); // a double click toggles twice
    for (UINT message : {WM_LBUTTONDOWN, WM_LBUTTONUP, WM_LBUTTONDBLCLK, WM_LBUTTONUP})
        SendMessageW(box, message, message == WM_LBUTTONUP ? 0 : MK_LBUTTON, MAKELPARAM(2, 2));
    EXPECT_TRUE(IsChecked(SlotRow(dialog, 3), IDC_ENABLE));
}

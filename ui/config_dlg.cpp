#include "ui/config_dlg.h"

#include "catalogue/codec_catalogue.h"
#include "catalogue/codec_open_modes.h"
#include "catalogue/fourcc.h"
#include "maint/outside_tools.h"
#include "maint/settings_directory.h"
#include "settings/ui_language.h"
#include "ui/about_dlg.h"
#include "ui/config_dlg_res.h"
#include "ui/dialog_helpers.h"
#include "ui/install_dlg.h"
#include "ui/menu_commands.h"
#include "ui/menu_texts.h"
#include "ui/resource_ids.h"
#include "ui/slot_row.h"
#include "ui/slot_row_res.h"
#include "ui/slot_test_command.h"
#include "ui/tool_run_scope.h"
#include "ui/ui_text.h"

CConfigDlg g_configDlg;

namespace {

const char* const kPreferredCodecs[] = {"zrb3", "zrc2", "zrb2"};

bool IsPreferredCodec(const char* fccText)
{
    for (const char* preferred : kPreferredCodecs) {
        if (FourCCTextEqualNoCase(fccText, preferred))
            return true;
    }
    return false;
}

// A row's change, handed to the rows so that they need not know the dialog.
void SlotChanged()
{
    g_configDlg.EnableApply(1);
}

}

bool CConfigDlg::DoModal(HINSTANCE instance, HWND parent, int newLanguage, int install, int silent)
{
    hInstance = instance;
    language = newLanguage;
    bInstall = install;
    bSilent = silent;
    RunModalDialog(instance, parent, language == UiLanguageJapanese ? IDD_CONFIG_JA : IDD_CONFIG_EN, this);
    return true;
}

void CConfigDlg::OnInitDialog(HWND window)
{
    hWnd = window;
    char caption[64];
    FormatConfigCaption(caption);
    SetWindowTextA(hWnd, caption);
    SetSmallIcon(hWnd, hInstance);
    hListBox = GetDlgItem(hWnd, IDC_SLOT_LIST);
    slotList.Create(hInstance, hListBox, settings.slots, kSlotCount, SlotChanged);
    ExchangeConfigSettings(&settings, 0);
    MoveWindowTo(hWnd, settings.rcWnd.left, settings.rcWnd.top);
    ExchangeControls(1);
    RetitleConfigMenu(GetMenu(hWnd), language);
    UpdateLanguageMenu();
    // After the exchange: writing the timeout raised EN_CHANGE. Before the
    // Apply of /install, which leaves Apply enabled when it failed.
    EnableApply(0);
    if (bInstall) {
        AssignPreferredCodecs();
        SendCommand(hWnd, IDC_APPLY);
        // A modal dialog ended while it initialises is never shown.
        if (bSilent) {
            OnClose(hWnd);
            return;
        }
    }
}

// Matches take the first rows in catalogue order, whatever the rows held.
void CConfigDlg::AssignPreferredCodecs()
{
    if (g_codecCatalogue == nullptr)
        return;
    int row = 0;
    for (int i = 0; i < g_codecCatalogue->count; ++i) {
        if (!IsPreferredCodec(g_codecCatalogue->entries[i].pcFcc))
            continue;
        slotList.SelectCodec(row, i);
        slotList.SetEnabled(row, 1);
        slotList.SendRowCommand(row, IDC_CODEC);
        ++row;
    }
}

void CConfigDlg::ExchangeControls(int direction)
{
    DlgExchangeInt(direction, hWnd, IDC_TIMEOUT, &settings.iTimeout);
    slotList.ExchangeControls(direction);
}

// The manager tool runs for all ten slots whether or not anything changed.
// True when it registered them; otherwise the choices are saved first,
// whatever the user then does with the message, and the user is told why
// (a silent run has nobody to tell).
bool CConfigDlg::Apply()
{
    ExchangeControls(0);
    ToolRun run;
    {
        CToolRunScope scope(hWnd);
        // The codec installed under a FourCC may have changed since the slot
        // was assigned; the driver answers opens from this record.
        for (SlotSettings& slot : settings.slots)
            slot.dwOpenModes = AskCodecOpenModes(slot.dwFcc);
        run = ApplySlots(settings.slots);
    }
    if (IsToolTaskDone(ToolTask::ApplySlots, run))
        return true;
    SaveSettings();
    if (!bSilent)
        ReportToolFailure(hWnd, ToolTask::ApplySlots, run, language);
    return false;
}

// The folder is made here too: a user who never ran /install has none.
void CConfigDlg::SaveSettings()
{
    CreateSettingsDirectory();
    ExchangeConfigSettings(&settings, 1);
}

void CConfigDlg::OnCommand(HWND window, WPARAM wParam)
{
    commands.Run(this, &CConfigDlg::DoCommand, window, wParam);
}

// A failed OK keeps the dialog open as a failed Apply does, the choices
// saved and Apply enabled to try again.
void CConfigDlg::DoCommand(HWND window, WPARAM wParam)
{
    int id = LOWORD(wParam);
    switch (id) {
    case IDC_OK:
    case IDC_APPLY: {
        bool applied = Apply();
        if (applied && id == IDC_OK) {
            SendMessageW(window, WM_CLOSE, 1, 0);
            break;
        }
        if (applied)
            SaveSettings();
        EnableApply(applied ? 0 : 1);
        break;
    }
    case IDC_CANCEL:
        SendMessageW(window, WM_CLOSE, 0, 0);
        break;
    case IDC_TIMEOUT:
        if (HIWORD(wParam) == EN_CHANGE)
            EnableApply(1);
        break;
    case IDM_ENGLISH:
    case IDM_JAPANESE:
        language = id == IDM_ENGLISH ? UiLanguageEnglish : UiLanguageJapanese;
        SwitchLanguage(window, language);
        break;
    case IDM_ABOUT: {
        CAboutDlg about;
        about.DoModal(hInstance, window, language);
        break;
    }
    case IDM_OPEN_SETTINGS:
        OpenSettingsInEditor();
        break;
    case IDM_HELP:
        OpenHelpPage(language);
        break;
    // Unsaved choices are applied first, so that the slots are tested as saved.
    case IDM_TEST_SLOTS:
        if (IsWindowEnabled(GetDlgItem(window, IDC_APPLY)))
            DoCommand(window, IDC_APPLY);
        TestSlots(window, hInstance, settings.slots, language);
        break;
    case IDM_INSTALL_CODEC: {
        CInstallDlg install;
        install.DoModal(hInstance, window, language);
        break;
    }
    }
}

// OK, Cancel and the close box all end here; what the dialog holds is saved
// (on Cancel the values loaded or last applied, not unapplied edits).
void CConfigDlg::OnClose(HWND window)
{
    if (hWnd == nullptr || !commands.MayClose())
        return;
    KeepNormalWindowRect(window, &settings.rcWnd);
    SaveSettings();
    slotList.Destroy();
    FreeCodecCatalogue();
    EndDialog(window, 0);
    hWnd = nullptr;
}

INT_PTR CConfigDlg::OnMessage(UINT message, WPARAM, LPARAM lParam)
{
    if (message != WM_DRAWITEM)
        return FALSE;
    OnDrawItem(reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
    return TRUE;
}

// Nothing is painted: each row window covers its item, and moving it there
// whenever the item is drawn makes the rows follow the list's scrolling.
void CConfigDlg::OnDrawItem(const DRAWITEMSTRUCT* item)
{
    if (item->CtlID != IDC_SLOT_LIST || item->itemID == static_cast<UINT>(-1))
        return;
    CSlotRow* row = reinterpret_cast<CSlotRow*>(item->itemData);
    if (row != nullptr)
        row->MoveToRect(item->rcItem);
}

void CConfigDlg::EnableApply(int enable)
{
    EnableWindow(GetDlgItem(hWnd, IDC_APPLY), enable == 1);
}

void CConfigDlg::UpdateLanguageMenu()
{
    CheckLanguageMenu(GetMenu(hWnd), language);
}

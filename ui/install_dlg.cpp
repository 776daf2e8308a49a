#include "ui/install_dlg.h"

#include <shellapi.h>

#include "catalogue/codec_dialogs.h"
#include "catalogue/codec_info.h"
#include "catalogue/fourcc.h"
#include "catalogue/installable_fourcc.h"
#include "maint/outside_tools.h"
#include "maint/settings_directory.h"
#include "maint/tool_parameters.h"
#include "maint/uninstall.h"
#include "settings/codec32_sections.h"
#include "settings/config_settings.h"
#include "settings/settings_paths.h"
#include "settings/ui_language.h"
#include "ui/dialog_helpers.h"
#include "ui/install_dlg_res.h"
#include "ui/menu_texts.h"
#include "ui/resource_ids.h"
#include "ui/tool_run_scope.h"
#include "ui/ui_messages.h"
#include "ui/ui_text.h"

bool CInstallDlg::DoModal(HINSTANCE instance, HWND parent, int newLanguage)
{
    hInstance = instance;
    language = newLanguage;
    RunModalDialog(instance, parent, language == UiLanguageJapanese ? IDD_INSTALL_JA : IDD_INSTALL_EN, this);
    return true;
}

void CInstallDlg::OnInitDialog(HWND window)
{
    hWnd = window;
    SetSmallIcon(hWnd, hInstance);
    hListBox = GetDlgItem(hWnd, IDC_CODEC_LIST);
    // Saved at close even when the stored rectangle is never loaded below.
    GetWindowRect(hWnd, &rcWnd);
    SendDlgItemMessageW(hWnd, IDC_FOURCC, EM_LIMITTEXT, 4, 0);
    RetitleInstallMenu(GetMenu(hWnd), language);
    GetSettingsFilePath(pcIniPath);
    std::vector<std::string> sections;
    if (!EnumCodec32Sections(hWnd, language, pcIniPath, &sections))
        return;
    for (const std::string& fccText : sections)
        AddCodecItem(fccText.c_str());
    ExchangeInstallDlgRectFile(pcIniPath, &rcWnd, 0);
    MoveWindowTo(hWnd, rcWnd.left, rcWnd.top);
    bRestart = 0;
}

void CInstallDlg::OnCommand(HWND window, WPARAM wParam)
{
    commands.Run(this, &CInstallDlg::DoCommand, window, wParam);
}

void CInstallDlg::DoCommand(HWND window, WPARAM wParam)
{
    switch (LOWORD(wParam)) {
    case IDC_INSTALL:
        OnInstall();
        break;
    case IDC_UNINSTALL:
        OnUninstall();
        break;
    case IDM_UNINSTALL_ALL:
        OnUninstallAll();
        break;
    case IDC_CODEC_CONFIGURE:
        OnCodecDialog(ConfigureCodec);
        break;
    case IDC_CODEC_ABOUT:
        OnCodecDialog(AboutCodec);
        break;
    case IDC_CLOSE:
        SendMessageW(window, WM_CLOSE, 0, 0);
        break;
    }
}

void CInstallDlg::AddCodecItem(const char* fccText)
{
    char name[MAX_PATH];
    char item[MAX_PATH];
    GetCodecInfo(FourCCFromText(fccText), name, nullptr, nullptr, nullptr);
    FormatCodecItem(fccText, name, item);
    LRESULT index = SendMessageA(hListBox, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item));
    if (index < 0)
        return;
    fccTexts.push_back(fccText);
    SendMessageW(hListBox, LB_SETITEMDATA, static_cast<WPARAM>(index),
                 static_cast<LPARAM>(fccTexts.size() - 1));
}

bool CInstallDlg::SelectedCodec(int* item, std::string* fccText) const
{
    LRESULT selected = SendMessageW(hListBox, LB_GETCURSEL, 0, 0);
    if (selected == LB_ERR)
        return false;
    LRESULT data = SendMessageW(hListBox, LB_GETITEMDATA, static_cast<WPARAM>(selected), 0);
    if (data < 0 || static_cast<size_t>(data) >= fccTexts.size())
        return false;
    *item = static_cast<int>(selected);
    *fccText = fccTexts[static_cast<size_t>(data)];
    return true;
}

void CInstallDlg::Tell(UiMessage message) const
{
    ShowUiMessage(hWnd, UiMessageText(message, language), MB_OK);
}

// Input that the installer tool could not use is refused before it runs.
// The codec is listed once the tool has registered it (its section is then
// written), also when it does not open for compression.
void CInstallDlg::OnInstall()
{
    char fccText[MAX_PATH] = "";
    char dllPath[MAX_PATH] = "";
    GetDlgItemTextA(hWnd, IDC_FOURCC, fccText, MAX_PATH);
    GetDlgItemTextA(hWnd, IDC_DLL_PATH, dllPath, MAX_PATH);
    if (!IsInstallableFourCCText(fccText)) {
        Tell(UiMessage::FourCCRefused);
        return;
    }
    uint32_t fcc = FourCCFromText(fccText);
    if (IsCodecInstalled(fcc)) {
        Tell(UiMessage::AlreadyInstalled);
        return;
    }
    if (!IsExistingFile(dllPath)) {
        Tell(UiMessage::DllNotFound);
        return;
    }
    CreateSettingsDirectory();
    ToolRun run;
    {
        CToolRunScope scope(hWnd);
        run = RegisterCodec(pcIniPath, fccText, dllPath);
    }
    if (!ReportToolFailure(hWnd, ToolTask::RegisterCodec, run, language))
        return;
    AddCodecItem(fccText);
    bRestart = 1;
    if (!IsCodecInstalled(fcc))
        Tell(GetCodecInfo(fcc, nullptr, nullptr, nullptr, nullptr) ? UiMessage::InstalledDecompressOnly
                                                                     : UiMessage::InstalledNotOpening);
}

// A codec the tool could not unregister keeps its item and its section.
void CInstallDlg::OnUninstall()
{
    int item = 0;
    std::string fccText;
    if (!SelectedCodec(&item, &fccText))
        return;
    WCHAR question[kUiMessageCapacity];
    FormatUninstallQuestion(language, fccText.c_str(), question);
    if (ShowUiMessage(hWnd, question, MB_YESNO | MB_DEFBUTTON2) != IDYES)
        return;
    ToolRun run;
    {
        CToolRunScope scope(hWnd);
        run = UnregisterCodec(pcIniPath, fccText.c_str());
    }
    if (!ReportToolFailure(hWnd, ToolTask::UnregisterCodec, run, language))
        return;
    SendMessageW(hListBox, LB_DELETESTRING, static_cast<WPARAM>(item), 0);
    bRestart = 1;
}

// The list then shows the codecs that could not be unregistered.
void CInstallDlg::OnUninstallAll()
{
    const WCHAR* question = UiMessageText(UiMessage::UninstallAllQuestion, language);
    if (ShowUiMessage(hWnd, question, MB_YESNO | MB_DEFBUTTON2) != IDYES)
        return;
    CodecsLeft left;
    {
        CToolRunScope scope(hWnd);
        UnregisterAllCodecs(language, &left);
    }
    while (SendMessageW(hListBox, LB_DELETESTRING, 0, 0) != LB_ERR) { }
    fccTexts.clear();
    for (const std::string& fccText : left.fccTexts)
        AddCodecItem(fccText.c_str());
    if (!left.fccTexts.empty())
        ReportToolFailure(hWnd, ToolTask::UnregisterCodec, left.firstFailure, language);
}

void CInstallDlg::OnCodecDialog(bool (*show)(HWND, const char*))
{
    int item = 0;
    std::string fccText;
    if (SelectedCodec(&item, &fccText))
        show(hWnd, fccText.c_str());
}

INT_PTR CInstallDlg::OnMessage(UINT message, WPARAM wParam, LPARAM)
{
    if (message != WM_DROPFILES)
        return FALSE;
    OnDropFiles(reinterpret_cast<HDROP>(wParam));
    return TRUE;
}

void CInstallDlg::OnDropFiles(HDROP drop)
{
    char path[MAX_PATH] = "";
    UINT length = DragQueryFileA(drop, 0, path, MAX_PATH);
    DragFinish(drop);
    if (length > 0)
        SetDlgItemTextA(hWnd, IDC_DLL_PATH, path);
}

void CInstallDlg::OnClose(HWND window)
{
    if (hWnd == nullptr || !commands.MayClose())
        return;
    if (bRestart == 1)
        Tell(UiMessage::RestartNotice);
    KeepNormalWindowRect(window, &rcWnd);
    CreateSettingsDirectory();
    ExchangeInstallDlgRectFile(pcIniPath, &rcWnd, 1);
    EndDialog(window, 0);
    hWnd = nullptr;
}

#include "ui/slot_row.h"

#include <cstring>

#include "catalogue/codec_catalogue.h"
#include "catalogue/codec_open_modes.h"
#include "catalogue/driver_name.h"
#include "catalogue/fourcc.h"
#include "ui/dialog_helpers.h"
#include "ui/resource_ids.h"
#include "ui/slot_row_res.h"
#include "ui/ui_text.h"

namespace {

const char kClearItem[] = "------   Clear   ------";
const LPARAM kClearItemData = -1;

// The catalogue entry an item stands for; null for the Clear item, an item
// of no entry, or no catalogue.
const CodecEntry* EntryOfItem(HWND row, int item)
{
    LPARAM data = GetComboItemData(row, IDC_CODEC, item);
    if (g_codecCatalogue == nullptr || data < 0 || data >= g_codecCatalogue->count)
        return nullptr;
    return &g_codecCatalogue->entries[data];
}

// The catalogue entry of the slot's codec; null when it is not installed.
const CodecEntry* EntryOfCodec(uint32_t fcc)
{
    int index = g_codecCatalogue != nullptr && fcc != 0 ? FindCodecEntryNoCase(*g_codecCatalogue, fcc) : -1;
    return index >= 0 ? &g_codecCatalogue->entries[index] : nullptr;
}

void CopyCodecEntry(const CodecEntry& entry, SlotSettings* slot)
{
    slot->dwFcc = entry.dwFcc;
    slot->dwbiFcc = entry.dwbiFcc;
    std::memcpy(slot->pcFcc, entry.pcFcc, kTextCapacity);
    std::memcpy(slot->pcName, entry.pcName, kTextCapacity);
    std::memcpy(slot->pcVersion, entry.pcVersion, kTextCapacity);
    std::memcpy(slot->pcDesc, entry.pcDesc, kTextCapacity);
    std::memcpy(slot->pcDriver, entry.pcDriver, kTextCapacity);
    slot->dwFlags = entry.dwFlags;
    slot->dwVersionICM = entry.dwVersionICM;
    slot->dwOpenModes = AskCodecOpenModes(entry.dwFcc);
}

}

bool CSlotRow::Create(HINSTANCE instance, HWND listBox, SlotSettings* slot, int index, void (*changed)())
{
    Destroy();
    hInstance = instance;
    hListBox = listBox;
    pSlot = slot;
    nIndex = index;
    onChange = changed;
    hWnd = CreateDialogParamW(instance, MAKEINTRESOURCEW(IDD_SLOT_ROW), listBox,
                              ForwardingDialogProc<CSlotRow>, reinterpret_cast<LPARAM>(this));
    return true;
}

void CSlotRow::Destroy()
{
    if (hWnd != nullptr)
        DestroyWindow(hWnd);
    hWnd = nullptr;
}

void CSlotRow::MoveToRect(const RECT& rect)
{
    MoveWindowToRect(hWnd, rect);
}

void CSlotRow::OnInitDialog(HWND window)
{
    hWnd = window;
    RECT client;
    GetClientRect(hWnd, &client);
    int height = client.bottom - client.top;
    SendMessageW(hListBox, LB_SETITEMHEIGHT, static_cast<WPARAM>(nIndex), height);
    MoveWindowTo(hWnd, 0, nIndex * height);

    char label[32];
    FormatSlotLabel(nIndex, label);
    SetDlgItemTextA(hWnd, IDC_ENABLE, label);
    SetComboItemData(hWnd, IDC_CODEC, AddComboString(hWnd, IDC_CODEC, kClearItem), kClearItemData);
    if (g_codecCatalogue == nullptr)
        return;
    for (int i = 0; i < g_codecCatalogue->count; ++i) {
        const CodecEntry& entry = g_codecCatalogue->entries[i];
        char item[MAX_PATH];
        FormatCodecItem(entry.pcFcc, entry.pcName, item);
        SetComboItemData(hWnd, IDC_CODEC, AddComboString(hWnd, IDC_CODEC, item), i);
    }
    FitDroppedWidthToItems(hWnd, IDC_CODEC);
}

void CSlotRow::OnCommand(HWND, WPARAM wParam)
{
    int id = LOWORD(wParam);
    int code = HIWORD(wParam);
    if ((id == IDC_CODEC && code == CBN_SETFOCUS) || (id == IDC_ENABLE && code == BN_SETFOCUS))
        ScrollIntoView();
    bool changed = false;
    if (id == IDC_CODEC) {
        ShowSelectedCodec();
        changed = code == CBN_SELCHANGE;
    } else if (id == IDC_ENABLE && code == BN_DOUBLECLICKED) {
        // The box tells its focus, and such a box only reports the second
        // click of a double click: that click still toggles it.
        SetCheck(hWnd, IDC_ENABLE, IsDlgButtonChecked(hWnd, IDC_ENABLE) == BST_CHECKED ? 0 : 1);
        changed = true;
    } else if (id == IDC_ENABLE) {
        changed = code == BN_CLICKED;
    }
    if (changed && onChange != nullptr)
        onChange();
}

// Tab moves the focus from row to row; the list box scrolls the row that
// takes it into view, whole.
void CSlotRow::ScrollIntoView()
{
    RECT item;
    RECT client;
    if (SendMessageW(hListBox, LB_GETITEMRECT, static_cast<WPARAM>(nIndex), reinterpret_cast<LPARAM>(&item))
            == LB_ERR
        || !GetClientRect(hListBox, &client))
        return;
    int height = item.bottom - item.top;
    if (height <= 0 || (item.top >= client.top && item.bottom <= client.bottom))
        return;
    int top = nIndex;
    if (item.bottom > client.bottom) {
        int wholeRows = client.bottom / height;
        top = wholeRows > 1 ? nIndex - wholeRows + 1 : nIndex;
    }
    SendMessageW(hListBox, LB_SETTOPINDEX, static_cast<WPARAM>(top), 0);
}

void CSlotRow::ShowSelectedCodec()
{
    int item = GetComboSel(hWnd, IDC_CODEC);
    if (item < 0 || g_codecCatalogue == nullptr)
        return;
    if (GetComboItemData(hWnd, IDC_CODEC, item) == kClearItemData) {
        SetCheck(hWnd, IDC_ENABLE, 0);
        ShowCodecTexts("", "", "");
    } else if (const CodecEntry* entry = EntryOfItem(hWnd, item)) {
        ShowCodecTexts(entry->pcVersion, entry->pcDesc, entry->pcDriver);
    }
}

void CSlotRow::ShowCodecTexts(const char* version, const char* description, const char* driver)
{
    SetDlgItemTextA(hWnd, IDC_VERSION, version);
    SetDlgItemTextA(hWnd, IDC_DESCRIPTION, description);
    SetDlgItemTextA(hWnd, IDC_DRIVER, driver);
}

void CSlotRow::ExchangeControls(int direction)
{
    if (hWnd == nullptr || pSlot == nullptr)
        return;
    if (direction == 1) {
        DlgExchangeCheck(1, hWnd, IDC_ENABLE, &pSlot->iEnable);
        DlgExchangeComboText(1, hWnd, IDC_CODEC, pSlot->pcFccName);
        KeepOnlyTheStoredCodecSelected();
        ShowCodecTexts(pSlot->pcVersion, pSlot->pcDesc, pSlot->pcDriver);
        return;
    }
    if (direction != 0)
        return;
    DlgExchangeCheck(0, hWnd, IDC_ENABLE, &pSlot->iEnable);
    DlgExchangeComboText(0, hWnd, IDC_CODEC, pSlot->pcFccName);
    int item = GetComboSel(hWnd, IDC_CODEC);
    if (item >= 0 && GetComboItemData(hWnd, IDC_CODEC, item) == kClearItemData) {
        *pSlot = SlotSettings();
        return;
    }
    // A slot whose stored item text names no item (the codec renamed, or a
    // section another tool wrote) still runs its codec: its entry is copied
    // too, so that every assigned slot records what its codec says of itself.
    const CodecEntry* entry = item >= 0 ? EntryOfItem(hWnd, item) : EntryOfCodec(pSlot->dwFcc);
    if (entry != nullptr)
        CopyCodecEntry(*entry, pSlot);
}

// The saved item text is looked up by prefix. When the slot's codec is gone,
// an item of another codec may begin with that text; taking it would hand
// the slot to a codec the user never chose, so the row then shows no choice.
void CSlotRow::KeepOnlyTheStoredCodecSelected()
{
    int item = GetComboSel(hWnd, IDC_CODEC);
    if (item <= 0)
        return;
    const CodecEntry* entry = EntryOfItem(hWnd, item);
    if (entry == nullptr || !FourCCEqualNoCase(entry->dwFcc, pSlot->dwFcc))
        SetComboSel(hWnd, IDC_CODEC, -1);
}

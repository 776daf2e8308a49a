#include "ui/slot_list.h"

#include <cstdio>
#include <new>

#include "ui/dialog_helpers.h"
#include "ui/slot_row.h"
#include "ui/slot_row_res.h"

bool CSlotList::Create(HINSTANCE instance, HWND listBox, SlotSettings* slots, int rows, void (*changed)())
{
    Destroy();
    hInstance = instance;
    hListBox = listBox;
    pSlots = slots;
    for (int i = 0; i < rows; ++i) {
        CSlotRow* row = new (std::nothrow) CSlotRow();
        if (row == nullptr)
            break;
        // The list box keeps no strings: the text only makes the item.
        char text[16];
        std::snprintf(text, sizeof text, "%02d", i);
        SendMessageA(hListBox, LB_INSERTSTRING, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(text));
        row->Create(instance, listBox, &slots[i], i, changed);
        SendMessageW(hListBox, LB_SETITEMDATA, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(row));
        nRows = i + 1;
    }
    return true;
}

void CSlotList::Destroy()
{
    for (int i = 0; i < nRows; ++i) {
        CSlotRow* row = Row(i);
        if (row != nullptr) {
            row->Destroy();
            delete row;
        }
    }
    nRows = 0;
}

CSlotRow* CSlotList::Row(int row) const
{
    if (row < 0 || row >= nRows)
        return nullptr;
    LRESULT data = SendMessageW(hListBox, LB_GETITEMDATA, static_cast<WPARAM>(row), 0);
    return data == LB_ERR ? nullptr : reinterpret_cast<CSlotRow*>(data);
}

void CSlotList::ExchangeControls(int direction)
{
    for (int i = 0; i < nRows; ++i) {
        if (CSlotRow* row = Row(i))
            row->ExchangeControls(direction);
    }
}

void CSlotList::SelectCodec(int row, int catalogueIndex)
{
    CSlotRow* target = Row(row);
    if (target == nullptr)
        return;
    HWND window = target->Window();
    LRESULT count = SendDlgItemMessageW(window, IDC_CODEC, CB_GETCOUNT, 0, 0);
    for (int item = 1; item < count; ++item) {
        LPARAM data = GetComboItemData(window, IDC_CODEC, item);
        if (data == CB_ERR)
            return;
        if (data == catalogueIndex) {
            SetComboSel(window, IDC_CODEC, item);
            return;
        }
    }
}

void CSlotList::SetEnabled(int row, int state)
{
    if (CSlotRow* target = Row(row))
        SetCheck(target->Window(), IDC_ENABLE, state);
}

void CSlotList::SendRowCommand(int row, int id)
{
    if (CSlotRow* target = Row(row))
        SendCommand(target->Window(), id);
}

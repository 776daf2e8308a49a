#pragma once

#include <windows.h>

#include "settings/config_settings.h"

class CSlotRow;

// The slot rows of the main dialog, one per item of its owner-drawn list
// box. The list owns the row objects; each item's data is its row, and the
// list keeps no other table of them.
class CSlotList {
public:
    // Creates `rows` rows bound to slots[0] to slots[rows - 1], which the
    // list does not own; each calls `changed` when the user changes it. Any
    // earlier rows go first.
    bool Create(HINSTANCE instance, HWND listBox, SlotSettings* slots, int rows, void (*changed)());
    void Destroy();

    // Every row, in item order.
    void ExchangeControls(int direction);

    // The three do nothing for a row number outside 0 to rows - 1, and raise
    // no notification.
    // Selects the first item after Clear that stands for catalogue entry
    // `catalogueIndex`.
    void SelectCodec(int row, int catalogueIndex);
    void SetEnabled(int row, int state);
    void SendRowCommand(int row, int id);

private:
    CSlotRow* Row(int row) const;

    HINSTANCE hInstance = nullptr;
    HWND hListBox = nullptr;
    SlotSettings* pSlots = nullptr;
    int nRows = 0;
};

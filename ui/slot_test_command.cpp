#include "ui/slot_test_command.h"

#include <string>

#include "maint/outside_tools.h"
#include "maint/slot_test_run.h"
#include "maint/tool_parameters.h"
#include "ui/slot_test_dlg.h"
#include "ui/slot_test_text.h"
#include "ui/tool_run_scope.h"
#include "ui/ui_messages.h"

void TestSlots(HWND dialog, HINSTANCE instance, const SlotSettings* slots, int language)
{
    char tool[MAX_PATH] = "";
    GetToolPath(kSlotTestToolName, tool);
    WCHAR caption[256] = L"";
    GetWindowTextW(dialog, caption, 256);
    std::wstring rows;
    {
        CToolRunScope scope(dialog);
        for (int slot = 0; slot < kSlotCount; ++slot) {
            if (slots[slot].iEnable != 1)
                continue;
            SetWindowTextW(dialog, SlotTestProgressCaption(caption, slot, language).c_str());
            rows += FormatSlotTestRow(slot, slots[slot], TestSlot(slot), tool, language);
        }
    }
    SetWindowTextW(dialog, caption);
    if (rows.empty()) {
        ShowUiMessage(dialog, UiMessageText(UiMessage::NoSlotTicked, language), MB_OK);
        return;
    }
    CSlotTestDlg results;
    results.DoModal(instance, dialog, language, rows);
}

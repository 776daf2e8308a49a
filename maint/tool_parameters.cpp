#include "maint/tool_parameters.h"

#include <cstdio>
#include <cstring>

#include "catalogue/installable_fourcc.h"

const char kManagerToolName[] = "TandrelMng.exe";
const char kInstallerToolName[] = "QelInstall32.exe";
const char kSlotTestToolName[] = "TandrelSlotTest.exe";

namespace {

void FormatSlotItems(const SlotSettings* slots, char* parameters)
{
    size_t length = 0;
    parameters[0] = '\0';
    for (int slot = 0; slot < kSlotCount; ++slot) {
        const char* verb = slots != nullptr && slots[slot].iEnable == 1 ? "/reg" : "/unreg";
        length += std::snprintf(parameters + length, kManagerParametersCapacity - length, "%s:tdl%d ", verb,
                                slot);
    }
}

// A formatted text must not be cut: an empty text instead.
bool KeepWhenWhole(int length, char* parameters, int capacity = kInstallerParametersCapacity)
{
    if (length < 0 || length >= capacity) {
        parameters[0] = '\0';
        return false;
    }
    return true;
}

}

void FormatApplySlotsParameters(const SlotSettings* slots, char* parameters)
{
    FormatSlotItems(slots, parameters);
}

void FormatUnregisterAllSlotsParameters(char* parameters)
{
    FormatSlotItems(nullptr, parameters);
}

bool FormatRegisterCodecParameters(const char* fccText, const char* dllPath, char* parameters)
{
    parameters[0] = '\0';
    if (!IsInstallableFourCCText(fccText) || std::strchr(dllPath, '"') != nullptr)
        return false;
    return KeepWhenWhole(
        std::snprintf(parameters, kInstallerParametersCapacity, "\"/regf:%s:%s\"", fccText, dllPath),
        parameters);
}

bool FormatUnregisterCodecParameters(const char* fccText, char* parameters)
{
    parameters[0] = '\0';
    if (!IsInstallableFourCCText(fccText))
        return false;
    return KeepWhenWhole(std::snprintf(parameters, kInstallerParametersCapacity, "\"/unreg:%s\"", fccText),
                         parameters);
}

bool FormatSlotTestParameters(int slot, const char* reportPath, char* parameters)
{
    return KeepWhenWhole(
        std::snprintf(parameters, kSlotTestParametersCapacity, "/test:tdl%d \"/out:%s\"", slot, reportPath),
        parameters, kSlotTestParametersCapacity);
}

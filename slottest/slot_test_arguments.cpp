#include "slottest/slot_test_arguments.h"

namespace {

const std::wstring kTestOption = L"/test:tdl";
const std::wstring kOutOption = L"/out:";

bool TakeOption(const std::wstring& argument, const std::wstring& option, std::wstring* value)
{
    if (argument.compare(0, option.size(), option) != 0)
        return false;
    *value = argument.substr(option.size());
    return true;
}

}

bool ParseSlotTestArguments(int argc, const wchar_t* const* argv, SlotTestArguments* arguments)
{
    if (argv == nullptr)
        return false;
    SlotTestArguments parsed;
    bool slotNamed = false;
    bool pathNamed = false;
    for (int index = 1; index < argc; ++index) {
        std::wstring argument = argv[index] != nullptr ? argv[index] : L"";
        std::wstring value;
        if (TakeOption(argument, kTestOption, &value) && !slotNamed && value.size() == 1 && value[0] >= L'0'
            && value[0] <= L'9') {
            parsed.slot = value[0] - L'0';
            slotNamed = true;
        } else if (TakeOption(argument, kOutOption, &value) && !pathNamed && !value.empty()) {
            parsed.reportPath = value;
            pathNamed = true;
        } else {
            return false;
        }
    }
    if (!slotNamed)
        return false;
    *arguments = parsed;
    return true;
}

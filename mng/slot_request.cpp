#include "mng/slot_request.h"

#include <string>

namespace {

const std::wstring kRegisterOption = L"/reg:tdl";
const std::wstring kUnregisterOption = L"/unreg:tdl";

bool StartsWith(const std::wstring& text, const std::wstring& prefix)
{
    return text.compare(0, prefix.size(), prefix) == 0;
}

// "/reg:tdlN" or "/unreg:tdlN" with exactly one digit after the option.
bool ParseItem(const std::wstring& argument, SlotRequest* request)
{
    size_t optionLength = 0;
    if (StartsWith(argument, kRegisterOption)) {
        request->action = SlotAction::Register;
        optionLength = kRegisterOption.size();
    } else if (StartsWith(argument, kUnregisterOption)) {
        request->action = SlotAction::Unregister;
        optionLength = kUnregisterOption.size();
    } else {
        return false;
    }
    if (argument.size() != optionLength + 1)
        return false;
    wchar_t digit = argument[optionLength];
    if (digit < L'0' || digit > L'9')
        return false;
    request->slot = digit - L'0';
    return true;
}

}

bool ParseManagerArguments(int argc, const wchar_t* const* argv, std::vector<SlotRequest>* requests)
{
    if (argc < 2 || argv == nullptr)
        return false;
    std::vector<SlotRequest> parsed;
    bool named[kManagerSlotCount] = {};
    for (int index = 1; index < argc; ++index) {
        SlotRequest request;
        if (argv[index] == nullptr || !ParseItem(argv[index], &request) || named[request.slot])
            return false;
        named[request.slot] = true;
        parsed.push_back(request);
    }
    *requests = parsed;
    return true;
}

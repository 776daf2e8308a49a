#include "qelinstall/installer_request.h"

namespace {

const std::wstring kRegisterOption = L"/regf:";
const std::wstring kUnregisterOption = L"/unreg:";

bool StartsWith(const std::wstring& text, const std::wstring& prefix)
{
    return text.compare(0, prefix.size(), prefix) == 0;
}

}

bool IsInstallerFourCCText(const std::wstring& fccText)
{
    if (fccText.empty() || fccText.size() > 4)
        return false;
    for (wchar_t c : fccText) {
        if (c < 0x20 || c > 0x7E || c == L':' || c == L'"' || c == L'\\')
            return false;
    }
    return true;
}

bool ParseInstallerArguments(int argc, const wchar_t* const* argv, InstallerRequest* request)
{
    if (argc != 2 || argv == nullptr || argv[1] == nullptr)
        return false;
    const std::wstring argument = argv[1];
    InstallerRequest parsed;
    if (StartsWith(argument, kRegisterOption)) {
        size_t colon = argument.find(L':', kRegisterOption.size());
        if (colon == std::wstring::npos)
            return false;
        parsed.action = InstallerAction::Register;
        parsed.fccText = argument.substr(kRegisterOption.size(), colon - kRegisterOption.size());
        parsed.dllPath = argument.substr(colon + 1);
        if (parsed.dllPath.empty())
            return false;
    } else if (StartsWith(argument, kUnregisterOption)) {
        parsed.action = InstallerAction::Unregister;
        parsed.fccText = argument.substr(kUnregisterOption.size());
    } else {
        return false;
    }
    if (!IsInstallerFourCCText(parsed.fccText))
        return false;
    *request = parsed;
    return true;
}

#include "qelinstall/installer_request.h"

#include "catalogue/installable_fourcc.h"

namespace {

const std::wstring kRegisterOption = L"/regf:";
const std::wstring kUnregisterOption = L"/unreg:";

bool StartsWith(const std::wstring& text, const std::wstring& prefix)
{
    return text.compare(0, prefix.size(), prefix) == 0;
}

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
    if (!IsInstallableFourCCText(parsed.fccText.c_str()))
        return false;
    *request = parsed;
    return true;
}

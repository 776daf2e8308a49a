#include <gtest/gtest.h>

#include <string>

#include "qelinstall/installer_request.h"

namespace {

// "reg|FCC|PATH" or "unreg|FCC|" for an accepted argument; "refused|kept"
// when the request was left alone.
std::wstring Parsed(const wchar_t* argument)
{
    const wchar_t* argv[] = {L"C:\\Tandrel64\\QelInstall32.exe", argument};
    InstallerRequest request;
    request.fccText = L"kept";
    if (!ParseInstallerArguments(2, argv, &request))
        return L"refused|" + request.fccText;
    return (request.action == InstallerAction::Register ? L"reg|" : L"unreg|") + request.fccText + L"|"
        + request.dllPath;
}

}

// The FourCC runs up to the first colon, the path is all behind it.
TEST(InstallerRequestTest, OneLowerCaseOptionWithAFourCCAndForRegisteringAPath)
{
    const struct {
        const wchar_t* argument;
        const wchar_t* request;
    } cases[] = {
        {L"/regf:abcd:C:\\Program Files\\codec x.dll", L"reg|abcd|C:\\Program Files\\codec x.dll"},
        {L"/regf:ab:Z:\\a.dll", L"reg|ab|Z:\\a.dll"},
        {L"/regf:DIB :relative.dll", L"reg|DIB |relative.dll"},
        {L"/unreg:XviD", L"unreg|XviD|"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.request, Parsed(c.argument));

    for (const wchar_t* refused : {L"",
                                   L"/regf",
                                   L"/regf:abcd",
                                   L"/regf:abcd:",
                                   L"/regf::C:\\x.dll",
                                   L"/regf:abcde:C:\\x.dll",
                                   L"/REGF:abcd:C:\\x.dll",
                                   L"regf:abcd:C:\\x.dll",
                                   L" /regf:abcd:C:\\x.dll",
                                   L"/regf:a\"b:C:\\x.dll",
                                   L"/regf:a\\b:C:\\x.dll",
                                   L"/regf:a\tb:C:\\x.dll",
                                   L"/unreg:",
                                   L"/unreg:abcde",
                                   L"/unreg:ab:c",
                                   L"/unreg:a\"",
                                   L"/unreg:ab\\",
                                   L"/Unreg:abcd",
                                   L"/unregabcd",
                                   L"/unreg:\x00E9t\x00E9"})
        EXPECT_EQ(L"refused|kept", Parsed(refused)) << std::wstring(refused).size();

    InstallerRequest request;
    const wchar_t* none[] = {L"QelInstall32.exe"};
    EXPECT_FALSE(ParseInstallerArguments(1, none, &request));
    const wchar_t* two[] = {L"QelInstall32.exe", L"/unreg:abcd", L"/unreg:efgh"};
    EXPECT_FALSE(ParseInstallerArguments(3, two, &request));
}

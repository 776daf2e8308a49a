#include <gtest/gtest.h>

#include <windows.h>

#include <cstring>
#include <string>

#include "catalogue/installable_fourcc.h"
#include "maint/tool_parameters.h"
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

// An ANSI text as the installer receives it through the shell.
std::wstring Widened(const std::string& text)
{
    WCHAR wide[64] = L"";
    MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, wide, 64);
    return wide;
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

    for (const wchar_t* refused : {L"", L"/regf", L"/regf:abcd", L"/regf:abcd:", L"/REGF:abcd:C:\\x.dll",
                                   L"regf:abcd:C:\\x.dll", L" /regf:abcd:C:\\x.dll", L"/Unreg:abcd", L"/unregabcd"})
        EXPECT_EQ(L"refused|kept", Parsed(refused)) << std::wstring(refused).size();

    InstallerRequest request;
    const wchar_t* none[] = {L"QelInstall32.exe"};
    EXPECT_FALSE(ParseInstallerArguments(1, none, &request));
    const wchar_t* two[] = {L"QelInstall32.exe", L"/unreg:abcd", L"/unreg:efgh"};
    EXPECT_FALSE(ParseInstallerArguments(3, two, &request));
}

// The installation dialog passes on a FourCC text exactly when the installer
// takes it as it came: the dialog's texts are ANSI, the installer's arguments
// the same texts widened.
TEST(InstallableFourCCTest, DialogAndInstallerHoldToOneRule)
{
    const struct {
        const char* fcc;
        bool installable;
    } cases[] = {
        {"ab12", true}, {"DIB ", true}, {"y/v.", true}, {"X", true}, {"~{}|", true},
        {"", false}, {"abcde", false}, {"a:b", false}, {"ab:", false}, {"ab\"c", false},
        {"abc\\", false}, {"a\tb", false}, {"ab\x7F", false}, {"t\x01", false},
        {"\xE9t\xE9", false}, // accented letters in the ANSI code page
        {"\x83\x5C", false}, // a Shift-JIS letter whose second byte is a backslash
    };
    const std::string path = "C:\\x y.dll";
    for (const auto& c : cases) {
        const std::string fcc = c.fcc;
        // Tabs and bytes outside ASCII show escaped in a failure message.
        const std::string shown = ::testing::PrintToString(fcc);
        EXPECT_EQ(c.installable, IsInstallableFourCCText(c.fcc)) << shown;
        char text[kInstallerParametersCapacity];
        std::memset(text, 'x', sizeof text);
        EXPECT_EQ(c.installable, FormatRegisterCodecParameters(c.fcc, path.c_str(), text)) << shown;
        EXPECT_EQ(c.installable ? "\"/regf:" + fcc + ":" + path + "\"" : "", text);
        EXPECT_EQ(c.installable, FormatUnregisterCodecParameters(c.fcc, text)) << shown;
        EXPECT_EQ(c.installable ? "\"/unreg:" + fcc + "\"" : "", text);

        const std::wstring wide = Widened(fcc);
        EXPECT_EQ(c.installable, Parsed((L"/regf:" + wide + L":" + Widened(path)).c_str())
                                     == L"reg|" + wide + L"|" + Widened(path))
            << shown;
        EXPECT_EQ(c.installable ? L"unreg|" + wide + L"|" : L"refused|kept", Parsed((L"/unreg:" + wide).c_str()))
            << shown;
    }
}

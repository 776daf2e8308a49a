#include <gtest/gtest.h>

#include <string>

#include "qelinstall/installer_request.h"

namespace {

bool Parse(const wchar_t* argument, InstallerRequest* request)
{
    const wchar_t* argv[] = {L"C:\\Tandrel64\\QelInstall32.exe", argument};
    return ParseInstallerArguments(2, argv, request);
}

}

TEST(InstallerRequestTest, RegisterTakesTheFourCCUpToTheFirstColonAndThePathAfterIt)
{
    InstallerRequest request;
    ASSERT_TRUE(Parse(L"/regf:abcd:C:\\Program Files\\codec x.dll", &request));
    EXPECT_EQ(InstallerAction::Register, request.action);
    EXPECT_EQ(L"abcd", request.fccText);
    EXPECT_EQ(L"C:\\Program Files\\codec x.dll", request.dllPath);

    ASSERT_TRUE(Parse(L"/regf:ab:Z:\\a.dll", &request));
    EXPECT_EQ(L"ab", request.fccText);
    EXPECT_EQ(L"Z:\\a.dll", request.dllPath);
    ASSERT_TRUE(Parse(L"/regf:DIB :relative.dll", &request));
    EXPECT_EQ(L"DIB ", request.fccText);
    EXPECT_EQ(L"relative.dll", request.dllPath);

    ASSERT_TRUE(Parse(L"/unreg:XviD", &request));
    EXPECT_EQ(InstallerAction::Unregister, request.action);
    EXPECT_EQ(L"XviD", request.fccText);
    EXPECT_EQ(L"", request.dllPath);
}

TEST(InstallerRequestTest, MalformedArgumentsAreRefusedAndLeaveTheRequestAlone)
{
    const wchar_t* refused[] = {
        L"",
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
        L"/unreg:\x00E9t\x00E9",
    };
    for (const wchar_t* argument : refused) {
        InstallerRequest request;
        request.fccText = L"kept";
        EXPECT_FALSE(Parse(argument, &request)) << static_cast<int>(std::wstring(argument).size());
        EXPECT_EQ(L"kept", request.fccText);
    }

    InstallerRequest request;
    const wchar_t* none[] = {L"QelInstall32.exe"};
    EXPECT_FALSE(ParseInstallerArguments(1, none, &request));
    const wchar_t* two[] = {L"QelInstall32.exe", L"/unreg:abcd", L"/unreg:efgh"};
    EXPECT_FALSE(ParseInstallerArguments(3, two, &request));
}

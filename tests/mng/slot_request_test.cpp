#include <windows.h>
#include <shellapi.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "mng/slot_request.h"

namespace {

// "ok R3 U4" for arguments taken as register slot 3, unregister slot 4;
// "no U9" when refused, the list left as it was.
std::string Parse(const std::wstring& arguments)
{
    std::wstring commandLine = L"\"C:\\Program Files\\Tandrel64\\TandrelMng.exe\" " + arguments;
    int argc = 0;
    wchar_t** argv = CommandLineToArgvW(commandLine.c_str(), &argc);
    std::vector<SlotRequest> requests(1, SlotRequest {9, SlotAction::Unregister});
    std::string text = ParseManagerArguments(argc, argv, &requests) ? "ok" : "no";
    LocalFree(argv);
    for (const SlotRequest& request : requests)
        text += (request.action == SlotAction::Register ? " R" : " U") + std::to_string(request.slot);
    return text;
}

}

TEST(SlotRequestTest, ItemsInOrderOrTheWholeLineRefused)
{
    EXPECT_EQ("ok U9 R5", Parse(L"  /unreg:tdl9\t/reg:tdl5  "));
    EXPECT_EQ("ok R7", Parse(L"\"/reg:tdl7\""));
    for (const wchar_t* refused : {L"", L"\"\"", L"\"/reg:tdl1 \"", L"/reg:tdl", L"/reg:tdl10", L"/reg:tdla",
                                   L"/reg:tdl\xFF11", L"/REG:tdl1", L"/reg:TDL1", L"/register:tdl1",
                                   L"/unreg:tdl1 /reg:tdl1", L"/reg:tdl0 /unreg:tdl1 /bogus"})
        EXPECT_EQ("no U9", Parse(refused)) << std::wstring(refused).size();
}

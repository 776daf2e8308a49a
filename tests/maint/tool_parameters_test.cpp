#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>

#include "maint/tool_parameters.h"

namespace {

std::string RegisterText(const char* fccText, const std::string& dllPath, bool* accepted)
{
    char parameters[kInstallerParametersCapacity];
    std::memset(parameters, 'x', sizeof parameters);
    *accepted = FormatRegisterCodecParameters(fccText, dllPath.c_str(), parameters);
    return parameters;
}

std::string UnregisterText(const char* fccText, bool* accepted)
{
    char parameters[kInstallerParametersCapacity];
    std::memset(parameters, 'x', sizeof parameters);
    *accepted = FormatUnregisterCodecParameters(fccText, parameters);
    return parameters;
}

}

TEST(ToolParametersTest, ManagerGetsOneItemPerSlotEachEndedByABlank)
{
    std::unique_ptr<SlotSettings[]> slots(new SlotSettings[kSlotCount]());
    slots[0].iEnable = 1;
    slots[3].iEnable = 1;
    slots[5].iEnable = 2;
    slots[7].iEnable = -1;
    slots[9].iEnable = 1;
    char parameters[kManagerParametersCapacity];
    FormatApplySlotsParameters(slots.get(), parameters);
    EXPECT_STREQ("/reg:tdl0 /unreg:tdl1 /unreg:tdl2 /reg:tdl3 /unreg:tdl4 /unreg:tdl5 /unreg:tdl6 "
                 "/unreg:tdl7 /unreg:tdl8 /reg:tdl9 ",
                 parameters);

    FormatUnregisterAllSlotsParameters(parameters);
    EXPECT_STREQ("/unreg:tdl0 /unreg:tdl1 /unreg:tdl2 /unreg:tdl3 /unreg:tdl4 /unreg:tdl5 /unreg:tdl6 "
                 "/unreg:tdl7 /unreg:tdl8 /unreg:tdl9 ",
                 parameters);
}

TEST(ToolParametersTest, InstallerGetsOneQuotedWord)
{
    bool accepted = false;
    EXPECT_EQ("\"/regf:ab12:C:\\Program Files\\Codecs\\x y.dll\"",
              RegisterText("ab12", "C:\\Program Files\\Codecs\\x y.dll", &accepted));
    EXPECT_TRUE(accepted);
    EXPECT_EQ("\"/regf:DIB :Z:\\c.dll\"", RegisterText("DIB ", "Z:\\c.dll", &accepted));
    EXPECT_TRUE(accepted);
    EXPECT_EQ("\"/unreg:ab12\"", UnregisterText("ab12", &accepted));
    EXPECT_TRUE(accepted);
}

TEST(ToolParametersTest, RegisterTextOverTheInstallerLimitIsRefusedNotCut)
{
    // "/regf:abcd:" and the two quotes take 13 characters.
    std::string fits = "C:\\" + std::string(259 - 13 - 3 - 4, 'p') + ".dll";
    bool accepted = false;
    std::string text = RegisterText("abcd", fits, &accepted);
    EXPECT_TRUE(accepted);
    EXPECT_EQ(259u, text.size());
    EXPECT_EQ("\"/regf:abcd:" + fits + "\"", text);

    EXPECT_EQ("", RegisterText("abcd", "C:\\p" + fits.substr(3), &accepted));
    EXPECT_FALSE(accepted);
    EXPECT_EQ("", UnregisterText(std::string(251, 'f').c_str(), &accepted));
    EXPECT_FALSE(accepted);
    EXPECT_EQ(259u, UnregisterText(std::string(250, 'f').c_str(), &accepted).size());
    EXPECT_TRUE(accepted);
}

TEST(ToolParametersTest, TextsThatWouldBreakTheQuotedWordAreRefused)
{
    bool accepted = true;
    for (const char* fcc : {"ab\"c", "a:b", "ab:", "abc\\"}) {
        EXPECT_EQ("", RegisterText(fcc, "C:\\x.dll", &accepted)) << fcc;
        EXPECT_FALSE(accepted) << fcc;
        EXPECT_EQ("", UnregisterText(fcc, &accepted)) << fcc;
        EXPECT_FALSE(accepted) << fcc;
    }
    EXPECT_EQ("", RegisterText("abcd", "C:\\x\" y.dll", &accepted));
    EXPECT_FALSE(accepted);
    EXPECT_TRUE(IsInstallerSafeFourCCText("DIB "));
    EXPECT_TRUE(IsInstallerSafeFourCCText("y/v."));
}

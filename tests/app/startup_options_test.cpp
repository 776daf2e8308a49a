#include <gtest/gtest.h>

#include <string>

#include "app/startup_options.h"
#include "host/mapping_limits.h"

namespace {

StartupOptions Parse(std::initializer_list<const char*> arguments)
{
    StartupOptions options = {};
    for (const char* argument : arguments)
        ApplyStartupArgument(argument, &options);
    return options;
}

}

TEST(StartupOptionsTest, PrefixMatchIsExactAndCaseSensitive)
{
    EXPECT_TRUE(HasPrefix("/installed", "/install"));
    EXPECT_TRUE(HasPrefix("/name:", "/name:"));
    EXPECT_FALSE(HasPrefix("/Install", "/install"));
    EXPECT_FALSE(HasPrefix("/inst", "/install"));
    EXPECT_FALSE(HasPrefix("", "/map:"));

    StartupOptions options = Parse({"/Install", "/UNINSTALL", "/Name:tdl1", "-map:x"});
    EXPECT_EQ(0, options.install);
    EXPECT_EQ(0, options.uninstall);
    EXPECT_STREQ("", options.slotName);
    EXPECT_STREQ("", options.mappingName);
    EXPECT_EQ(1, Parse({"/installed"}).install);
    EXPECT_EQ(1, Parse({"/uninstallnow"}).uninstall);
}

TEST(StartupOptionsTest, LaterOccurrenceWinsAndEmptyValuesCount)
{
    StartupOptions options = Parse({"/name:tdl1", "/map:first", "/name:tdl2", "/map:second"});
    EXPECT_STREQ("tdl2", options.slotName);
    EXPECT_STREQ("second", options.mappingName);

    options = Parse({"/name:tdl3", "/name:"});
    EXPECT_STREQ("", options.slotName);
}

TEST(StartupOptionsTest, ValuesThatDoNotFitCountAsNotGiven)
{
    std::string longest(MAX_PATH - 1, 's');
    std::string tooLong(MAX_PATH, 's');
    StartupOptions options = Parse({("/name:" + longest).c_str()});
    EXPECT_EQ(longest, options.slotName);
    options = Parse({"/name:tdl4", ("/name:" + tooLong).c_str()});
    EXPECT_STREQ("tdl4", options.slotName);

    std::string mapLimit(kControlMappingNameLimit, 'm');
    std::string mapOver(kControlMappingNameLimit + 1, 'm');
    EXPECT_EQ(247, kControlMappingNameLimit);
    options = Parse({("/map:" + mapLimit).c_str()});
    EXPECT_EQ(mapLimit, options.mappingName);
    options = Parse({"/map:ok", ("/map:" + mapOver).c_str()});
    EXPECT_STREQ("ok", options.mappingName);
}

TEST(StartupOptionsTest, ModeNeedsBothNamesForHostThenUninstallThenConfiguration)
{
    EXPECT_EQ(StartupMode::Configuration, ChooseStartupMode(Parse({})));
    EXPECT_EQ(StartupMode::Configuration, ChooseStartupMode(Parse({"/install"})));
    EXPECT_EQ(StartupMode::Configuration, ChooseStartupMode(Parse({"/name:tdl3"})));
    EXPECT_EQ(StartupMode::Configuration, ChooseStartupMode(Parse({"/name:", "/map:m"})));
    EXPECT_EQ(StartupMode::Uninstall, ChooseStartupMode(Parse({"/install", "/uninstall"})));
    EXPECT_EQ(StartupMode::Uninstall, ChooseStartupMode(Parse({"/uninstall", "/map:m"})));
    EXPECT_EQ(StartupMode::Host, ChooseStartupMode(Parse({"/uninstall", "/name:tdl3", "/map:m"})));
}

TEST(StartupOptionsTest, WholeCommandLineIsSplitLikeTheShellDoes)
{
    StartupOptions options = {};
    ApplyCommandLine(L"\"C:\\Program Files\\Tandrel64.exe\" /install \"/name:tdl 5\" /map:Tdl_Map_1 extra",
                     &options);
    EXPECT_EQ(1, options.install);
    EXPECT_EQ(0, options.uninstall);
    EXPECT_STREQ("tdl 5", options.slotName);
    EXPECT_STREQ("Tdl_Map_1", options.mappingName);
}

TEST(StartupOptionsTest, CharactersOutsideTheAnsiCodePageBecomeQuestionMarks)
{
    StartupOptions options = {};
    ApplyCommandLine(L"prog.exe /name:\x65E5\x672C /map:m /uninstall", &options);
    EXPECT_STREQ("??", options.slotName);
    EXPECT_EQ(1, options.uninstall);
    EXPECT_STREQ("m", options.mappingName);
}

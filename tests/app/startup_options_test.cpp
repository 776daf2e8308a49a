#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/startup_options.h"
#include "host/mapping_limits.h"

namespace {

// "install uninstall silent slot map mode" as the options and the mode chosen.
std::string Described(const StartupOptions& options)
{
    const char* const modes[] = {"host", "uninstall", "configuration"};
    return std::to_string(options.install) + " " + std::to_string(options.uninstall) + " "
        + std::to_string(options.silent) + " " + options.slotName + " " + options.mappingName + " "
        + modes[static_cast<int>(ChooseStartupMode(options))];
}

std::string Parsed(const std::vector<std::string>& arguments)
{
    StartupOptions options = {};
    for (const std::string& argument : arguments)
        ApplyStartupArgument(argument.c_str(), &options);
    return Described(options);
}

}

// Options match by prefix, byte for byte; a later occurrence wins, an empty
// value too; a value that does not fit counts as not given. Host mode needs
// both names, then /uninstall comes before configuration.
TEST(StartupOptionsTest, ArgumentsChooseTheMode)
{
    const std::string longest(MAX_PATH - 1, 's');
    const std::string mapLimit(kControlMappingNameLimit, 'm');
    const struct {
        std::vector<std::string> arguments;
        std::string options;
    } cases[] = {
        {{}, "0 0 0   configuration"},
        {{"/Install", "/UNINSTALL", "/Name:tdl1", "-map:x", "/inst", "/Silent"}, "0 0 0   configuration"},
        {{"/installed", "/name:tdl3"}, "1 0 0 tdl3  configuration"},
        {{"/uninstallnow", "/map:m", "/silently"}, "0 1 1  m uninstall"},
        {{"/install", "/uninstall"}, "1 1 0   uninstall"},
        {{"/silent", "/install"}, "1 0 1   configuration"},
        {{"/uninstall", "/name:tdl3", "/map:m"}, "0 1 0 tdl3 m host"},
        {{"/name:tdl1", "/map:first", "/name:tdl2", "/map:second"}, "0 0 0 tdl2 second host"},
        {{"/name:tdl3", "/name:", "/map:m"}, "0 0 0  m configuration"},
        {{"/name:" + longest}, "0 0 0 " + longest + "  configuration"},
        {{"/name:tdl4", "/name:" + longest + "s"}, "0 0 0 tdl4  configuration"},
        {{"/map:" + mapLimit}, "0 0 0  " + mapLimit + " configuration"},
        {{"/map:ok", "/map:" + mapLimit + "m"}, "0 0 0  ok configuration"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.options, Parsed(c.arguments));
    EXPECT_FALSE(HasPrefix("", "/map:"));
}

// Split as the shell does; characters outside the ANSI code page become
// question marks.
TEST(StartupOptionsTest, WholeCommandLineIsSplitLikeTheShellDoes)
{
    StartupOptions options = {};
    ApplyCommandLine(L"\"C:\\Program Files\\Tandrel64.exe\" /install \"/name:tdl 5\" /map:Tdl_Map_1 extra",
                     &options);
    EXPECT_EQ("1 0 0 tdl 5 Tdl_Map_1 host", Described(options));
    options = {};
    ApplyCommandLine(L"prog.exe /name:\x65E5\x672C /map:m /uninstall", &options);
    EXPECT_EQ("0 1 0 ?? m host", Described(options));
}

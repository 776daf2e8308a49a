#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "maint/tool_parameters.h"

// The manager's items are shown by the configuration tool's and the
// uninstall test, which compare its whole command line.

// The installer gets one quoted word, refused rather than cut or broken: at
// most 259 characters, no quote in the path. The FourCC rule has its own
// table, held against the installer's (installer_request_test.cpp).
TEST(ToolParametersTest, InstallerGetsOneQuotedWordOrNothing)
{
    // "/regf:abcd:" and the two quotes take 13 characters.
    const std::string fits = "C:\\" + std::string(259 - 13 - 3 - 4, 'p') + ".dll";
    const struct {
        std::string path;
        std::string registerText; // empty: refused
    } cases[] = {
        {"C:\\Program Files\\x y.dll", "\"/regf:abcd:C:\\Program Files\\x y.dll\""},
        {fits, "\"/regf:abcd:" + fits + "\""},
        {"C:\\p" + fits.substr(3), ""},
        {"C:\\x\" y.dll", ""},
    };
    for (const auto& c : cases) {
        char text[kInstallerParametersCapacity];
        std::memset(text, 'x', sizeof text);
        EXPECT_EQ(!c.registerText.empty(), FormatRegisterCodecParameters("abcd", c.path.c_str(), text)) << c.path;
        EXPECT_EQ(c.registerText, text);
    }
}

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "maint/tool_parameters.h"

// The manager's items are shown by the configuration tool's and the
// uninstall test, which compare its whole command line.

// The installer gets one quoted word, refused rather than cut or broken: at
// most 259 characters, no quote in it, no colon, quote or backslash in the
// FourCC.
TEST(ToolParametersTest, InstallerGetsOneQuotedWordOrNothing)
{
    // "/regf:abcd:" and the two quotes take 13 characters.
    const std::string fits = "C:\\" + std::string(259 - 13 - 3 - 4, 'p') + ".dll";
    const std::string longFcc(250, 'f');
    const struct {
        std::string fcc;
        std::string path;
        std::string registerText; // empty: refused
        std::string unregisterText;
    } cases[] = {
        {"ab12", "C:\\Program Files\\x y.dll", "\"/regf:ab12:C:\\Program Files\\x y.dll\"",
         "\"/unreg:ab12\""},
        {"DIB ", "Z:\\c.dll", "\"/regf:DIB :Z:\\c.dll\"", "\"/unreg:DIB \""},
        {"y/v.", "Z:\\c.dll", "\"/regf:y/v.:Z:\\c.dll\"", "\"/unreg:y/v.\""},
        {"abcd", fits, "\"/regf:abcd:" + fits + "\"", "\"/unreg:abcd\""},
        {"abcd", "C:\\p" + fits.substr(3), "", "\"/unreg:abcd\""},
        {"abcd", "C:\\x\" y.dll", "", "\"/unreg:abcd\""},
        {longFcc, "x.dll", "", "\"/unreg:" + longFcc + "\""},
        {longFcc + "f", "", "", ""},
        {"ab\"c", "C:\\x.dll", "", ""},
        {"a:b", "C:\\x.dll", "", ""},
        {"ab:", "C:\\x.dll", "", ""},
        {"abc\\", "C:\\x.dll", "", ""},
    };
    for (const auto& c : cases) {
        char text[kInstallerParametersCapacity];
        std::memset(text, 'x', sizeof text);
        EXPECT_EQ(!c.registerText.empty(), FormatRegisterCodecParameters(c.fcc.c_str(), c.path.c_str(), text))
            << c.fcc << " " << c.path;
        EXPECT_EQ(c.registerText, text);
        std::memset(text, 'x', sizeof text);
        EXPECT_EQ(!c.unregisterText.empty(), FormatUnregisterCodecParameters(c.fcc.c_str(), text)) << c.fcc;
        EXPECT_EQ(c.unregisterText, text);
    }
}

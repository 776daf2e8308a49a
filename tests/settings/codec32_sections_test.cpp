#include <gtest/gtest.h>

#include "settings/codec32_sections.h"
#include "settings_files.h"

// Only sections named "CODEC32." in upper case are codecs, in file order
// (an empty name too); a name that would not fit is refused without
// creating anything. Both keys of a written section, and deleting whole
// sections, are the outside-tool and uninstall tests'.
TEST(Codec32SectionsTest, SectionsAreListedInFileOrderAndOverlongNamesRefused)
{
    std::string path = FreshTempPath("codecs.ini");
    ASSERT_TRUE(WriteWholeFile(path,
                               "[GENERAL]\r\niTimeout=1\r\n[CODEC32.abcd]\r\npcFcc=abcd\r\n"
                               "[codec32.low1]\r\npcFcc=low1\r\n[CODEC32.]\r\n"));
    EXPECT_TRUE(WriteCodec32Section(path.c_str(), "mrle", "C:\\codecs\\msrle32.dll"));
    std::vector<std::string> names;
    EXPECT_TRUE(EnumCodec32Sections(nullptr, 1, path.c_str(), &names));
    EXPECT_EQ((std::vector<std::string> {"abcd", "", "mrle"}), names);
    DeleteFileA(path.c_str());

    EXPECT_FALSE(WriteCodec32Section(path.c_str(), std::string(MAX_PATH - 8, 'f').c_str(), "x.dll"));
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesA(path.c_str()));
}

// The box for a cut-off list, and that nothing of it is used, is shown by
// the uninstall test.
TEST(Codec32SectionsTest, ListThatJustFitsIsDelivered)
{
    std::vector<std::string> names;
    const char list[] = "CODEC32.a\0b\0";
    EXPECT_TRUE(ParseCodec32SectionNames(list, sizeof list - 2, kSectionNamesCapacity, &names));
    EXPECT_EQ(std::vector<std::string> {"a"}, names);
    EXPECT_FALSE(ParseCodec32SectionNames(list, kSectionNamesCapacity - 2, kSectionNamesCapacity, &names));
}

#include <gtest/gtest.h>

#include <thread>

#include "message_box_probe.h"
#include "settings/codec32_sections.h"
#include "settings_files.h"

TEST(Codec32SectionsTest, DeliversOnlyUpperCasePrefixedSectionsInFileOrder)
{
    std::string path = FreshTempPath("codecs.ini");
    ASSERT_TRUE(WriteWholeFile(path,
                               "[GENERAL]\r\niTimeout=1\r\n"
                               "[CODEC32.abcd]\r\npcFcc=abcd\r\n"
                               "[codec32.low1]\r\npcFcc=low1\r\n"
                               "[CODEC32.]\r\n"
                               "[tdl0]\r\niEnable=0\r\n"
                               "[CODEC32.XVID]\r\npcFcc=XVID\r\n"));
    std::vector<std::string> names;
    EXPECT_TRUE(EnumCodec32Sections(nullptr, path.c_str(), &names));
    EXPECT_EQ((std::vector<std::string> {"abcd", "", "XVID"}), names);
    DeleteFileA(path.c_str());
}

TEST(Codec32SectionsTest, SectionNameThatWouldNotFitIsRefused)
{
    std::string path = FreshTempPath("codec-long.ini");
    std::string fcc(MAX_PATH - 8, 'f');
    EXPECT_FALSE(WriteCodec32Section(path.c_str(), fcc.c_str(), "x.dll"));
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesA(path.c_str()));
}

TEST(Codec32SectionsTest, CutOffNameListShowsTheErrorAndDeliversNothing)
{
    std::string path = FreshTempPath("codec-many.ini");
    std::string contents;
    for (int i = 0; i < 700; ++i)
        contents += "[CODEC32.c" + std::to_string(i) + "]\r\npcFcc=x\r\n";
    ASSERT_TRUE(WriteWholeFile(path, contents));

    std::vector<std::string> names;
    bool result = true;
    std::thread worker([&] { result = EnumCodec32Sections(nullptr, path.c_str(), &names); });
    MessageBoxSeen box;
    bool shown = WaitForMessageBox(GetCurrentProcessId(), 10000, &box);
    if (shown)
        AnswerMessageBox(box.window, IDOK);
    worker.join();

    ASSERT_TRUE(shown);
    EXPECT_EQ("Error", box.caption);
    EXPECT_EQ("There is too much names.", box.text);
    EXPECT_EQ(std::vector<int> {IDOK}, box.buttons);
    EXPECT_FALSE(result);
    EXPECT_TRUE(names.empty());
    DeleteFileA(path.c_str());
}

TEST(Codec32SectionsTest, ListThatJustFitsIsDelivered)
{
    std::vector<std::string> names;
    const char list[] = "CODEC32.a\0b\0";
    EXPECT_TRUE(ParseCodec32SectionNames(list, sizeof list - 2, kSectionNamesCapacity, &names));
    EXPECT_EQ(std::vector<std::string> {"a"}, names);
    EXPECT_FALSE(ParseCodec32SectionNames(list, kSectionNamesCapacity - 2, kSectionNamesCapacity, &names));
}

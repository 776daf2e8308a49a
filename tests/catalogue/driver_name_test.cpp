#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "catalogue/driver_name.h"
#include "catalogue/fourcc.h"

TEST(DriverNameTest, OnlyVidcNamesGiveAFourCCOfAtMostFourCharacters)
{
    const struct {
        const char* valueName;
        const char* fccText;
    } cases[] = {
        {"vidc.MJPG", "MJPG"},       {"VIDC.mjpg", "mjpg"},   {"ViDc.ab", "ab"}, {"vidc.abcdef", "abcd"},
        {"vidc.DIB ", "DIB "},       {"vidc.", ""},           {"vidc", nullptr}, {"vids.abcd", nullptr},
        {"msacm.imaadpcm", nullptr}, {" vidc.abcd", nullptr}, {"", nullptr},
    };
    for (const auto& c : cases) {
        char text[kFourCCTextCapacity];
        std::memset(text, 'x', sizeof text);
        ASSERT_EQ(c.fccText != nullptr, FourCCTextFromDriverName(c.valueName, text)) << c.valueName;
        if (c.fccText == nullptr)
            continue;
        EXPECT_STREQ(c.fccText, text);
        for (size_t i = std::strlen(text); i < sizeof text; ++i)
            EXPECT_EQ('\0', text[i]) << c.valueName;
    }
}

// A FourCC listed in another letter case is a duplicate, one that differs by
// a blank or a character is not, and a duplicate stays one when the
// catalogue is full. The other verdicts are the catalogue test's.
TEST(DriverNameTest, FirstSpellingOfAFourCCStaysAndTheCatalogueStopsAtItsCapacity)
{
    std::unique_ptr<CodecCatalogue> catalogue(new CodecCatalogue());
    for (const char* listed : {"MJPG", "ab"}) {
        CodecEntry& entry = catalogue->entries[catalogue->count++];
        std::strcpy(entry.pcFcc, listed);
        entry.dwFcc = FourCCFromText(listed);
    }
    char text[kFourCCTextCapacity];
    EXPECT_EQ(DriverNameVerdict::Duplicate, JudgeDriverName(*catalogue, "VIDC.AB", text));
    EXPECT_STREQ("AB", text);
    EXPECT_EQ(DriverNameVerdict::NewCodec, JudgeDriverName(*catalogue, "vidc.ab ", text));
    EXPECT_EQ(DriverNameVerdict::NewCodec, JudgeDriverName(*catalogue, "vidc.MJP", text));
    catalogue->count = kCodecCatalogueCapacity;
    EXPECT_EQ(DriverNameVerdict::CatalogueFull, JudgeDriverName(*catalogue, "vidc.new1", text));
    EXPECT_EQ(DriverNameVerdict::Duplicate, JudgeDriverName(*catalogue, "vidc.Mjpg", text));
}

// A list cut off by its buffer loses its last name, which may be cut.
TEST(DriverNameTest, ProfileKeyNamesSplitTheListAndDropACutLastName)
{
    const struct {
        std::string list;
        size_t length;
        size_t capacity;
        std::vector<std::string> names;
    } cases[] = {
        {std::string("vidc.mrle\0msacm.x\0\0", 19), 18, 64, {"vidc.mrle", "msacm.x"}},
        {std::string("vidc.mrle\0vidc.cv\0\0", 19), 17, 19, {"vidc.mrle"}},
        {std::string("vidc.mr\0\0", 9), 7, 9, {}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.names, ProfileKeyNames(c.list.data(), c.length, c.capacity)) << c.list;
}

#include <gtest/gtest.h>

#include <cstring>
#include <memory>

#include "catalogue/driver_name.h"
#include "catalogue/fourcc.h"

namespace {

std::string FourCCText(const char* valueName)
{
    char text[kFourCCTextCapacity];
    std::memset(text, 'x', sizeof text);
    if (!FourCCTextFromDriverName(valueName, text))
        return "<none>";
    for (size_t i = std::strlen(text); i < sizeof text; ++i)
        EXPECT_EQ('\0', text[i]) << valueName;
    return text;
}

std::unique_ptr<CodecCatalogue> CatalogueWith(std::initializer_list<const char*> fccTexts)
{
    std::unique_ptr<CodecCatalogue> catalogue(new CodecCatalogue());
    for (const char* text : fccTexts) {
        CodecEntry& entry = catalogue->entries[catalogue->count++];
        std::strcpy(entry.pcFcc, text);
        entry.dwFcc = FourCCFromText(text);
    }
    return catalogue;
}

}

TEST(DriverNameTest, OnlyVidcNamesGiveAFourCCOfAtMostFourCharacters)
{
    EXPECT_EQ("MJPG", FourCCText("vidc.MJPG"));
    EXPECT_EQ("mjpg", FourCCText("VIDC.mjpg"));
    EXPECT_EQ("ab", FourCCText("ViDc.ab"));
    EXPECT_EQ("abcd", FourCCText("vidc.abcdef"));
    EXPECT_EQ("DIB ", FourCCText("vidc.DIB "));
    EXPECT_EQ("", FourCCText("vidc."));
    EXPECT_EQ("<none>", FourCCText("vidc"));
    EXPECT_EQ("<none>", FourCCText("vids.abcd"));
    EXPECT_EQ("<none>", FourCCText("msacm.imaadpcm"));
    EXPECT_EQ("<none>", FourCCText(" vidc.abcd"));
    EXPECT_EQ("<none>", FourCCText(""));
}

TEST(DriverNameTest, FirstSpellingOfAFourCCStaysAndTheCatalogueStopsAtItsCapacity)
{
    std::unique_ptr<CodecCatalogue> catalogue = CatalogueWith({"MJPG", "ab"});
    char text[kFourCCTextCapacity];
    EXPECT_EQ(DriverNameVerdict::Duplicate, JudgeDriverName(*catalogue, "vidc.mjpg", text));
    EXPECT_STREQ("mjpg", text);
    EXPECT_EQ(DriverNameVerdict::Duplicate, JudgeDriverName(*catalogue, "VIDC.AB", text));
    EXPECT_EQ(DriverNameVerdict::Duplicate, JudgeDriverName(*catalogue, "vidc.MJPGX", text));
    EXPECT_EQ(DriverNameVerdict::NewCodec, JudgeDriverName(*catalogue, "vidc.ab ", text));
    EXPECT_EQ(DriverNameVerdict::NewCodec, JudgeDriverName(*catalogue, "vidc.MJP", text));
    EXPECT_EQ(DriverNameVerdict::NotACodec, JudgeDriverName(*catalogue, "msacm.MJPG", text));
    EXPECT_EQ(1, FindCodecEntryNoCase(*catalogue, FourCCFromText("aB")));
    EXPECT_EQ(-1, FindCodecEntryNoCase(*catalogue, FourCCFromText("a")));

    catalogue->count = kCodecCatalogueCapacity - 1;
    EXPECT_EQ(DriverNameVerdict::NewCodec, JudgeDriverName(*catalogue, "vidc.new1", text));
    catalogue->count = kCodecCatalogueCapacity;
    EXPECT_EQ(DriverNameVerdict::CatalogueFull, JudgeDriverName(*catalogue, "vidc.new1", text));
    // A name already listed is skipped, not counted against the capacity.
    EXPECT_EQ(DriverNameVerdict::Duplicate, JudgeDriverName(*catalogue, "vidc.Mjpg", text));
    EXPECT_EQ(DriverNameVerdict::NotACodec, JudgeDriverName(*catalogue, "wave.x", text));
}

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "catalogue/codec_text.h"

namespace {

const UINT kShiftJis = 932;

std::string Convert(UINT codePage, const std::wstring& wide)
{
    char text[kCodecTextBytes + 8];
    std::memset(text, 'x', sizeof text);
    CodecTextToAnsi(codePage, wide.c_str(), static_cast<int>(wide.size() + 1), text);
    EXPECT_LT(std::strlen(text), static_cast<size_t>(kCodecTextBytes));
    return text;
}

std::string Whole(UINT codePage, const std::wstring& wide)
{
    char text[1024];
    int length = WideCharToMultiByte(codePage, 0, wide.c_str(), static_cast<int>(wide.size()), text,
                                     sizeof text, nullptr, nullptr);
    return std::string(text, length);
}

}

// A text is kept whole while it fits, else cut after its last whole
// character (a double-byte one, or a surrogate pair of four UTF-8 bytes).
TEST(CodecTextTest, LongTextIsCutAfterItsLastWholeCharacter)
{
    EXPECT_EQ(std::string(127, 'd'), Convert(CP_ACP, std::wstring(127, L'd')));
    EXPECT_EQ("", Convert(CP_ACP, L""));
    std::wstring japanese(70, L'\x65E5');
    // 63 double-byte characters fit in 127 bytes.
    EXPECT_EQ(Whole(kShiftJis, japanese.substr(0, 63)), Convert(kShiftJis, japanese.substr(0, 63)));
    EXPECT_EQ(Whole(kShiftJis, japanese.substr(0, 63)), Convert(kShiftJis, japanese));
    // One single-byte character first: 64 characters fill the 127 bytes.
    std::wstring mixed = L"a" + japanese;
    EXPECT_EQ(Whole(kShiftJis, mixed.substr(0, 64)), Convert(kShiftJis, mixed));
    EXPECT_EQ(127u, Convert(kShiftJis, mixed).size());

    std::wstring pair = L"\xD83D\xDE00";
    EXPECT_EQ(std::string(125, 'a'), Convert(CP_UTF8, std::wstring(125, L'a') + pair));
    EXPECT_EQ(Whole(CP_UTF8, std::wstring(123, L'a') + pair),
              Convert(CP_UTF8, std::wstring(123, L'a') + pair));
    EXPECT_EQ(std::string(126, 'a'), Convert(CP_UTF8, std::wstring(126, L'a') + L"\x00E9"));
}

TEST(CodecTextTest, TextWithoutTerminatorEndsAtItsCapacity)
{
    WCHAR field[4] = {L'a', L'b', L'c', L'd'};
    char text[kCodecTextBytes];
    CodecTextToAnsi(CP_ACP, field, 4, text);
    EXPECT_STREQ("abcd", text);
    CodecTextToAnsi(12345, field, 4, text);
    EXPECT_STREQ("", text);
}

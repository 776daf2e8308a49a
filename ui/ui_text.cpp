#include "ui/ui_text.h"

#include <windows.h>

#include <cstdio>

#include "settings/ui_language.h"

const char kProductName[] = "Tandrel64";
const char kProductVersion[] = "1.00";

namespace {

const char kRightsNotice[] = "Copyright (C) 2026 The Tandrel64 developers";
const char kContactAddress[] = "support@tandrel64.org";
const char* const kHomePages[] = {"https://tandrel64.org/ja/", "https://tandrel64.org/"};
const char* const kHelpPages[] = {"Tandrel64Help_ja.html", "Tandrel64Help_en.html"};

}

void FormatConfigCaption(char* caption)
{
    std::snprintf(caption, 64, "%s Config Ve%s", kProductName, kProductVersion);
}

void FormatAboutText(const char* buildDate, int language, char* text)
{
    std::snprintf(text, kAboutTextCapacity, "\r\n%s Ver%s\r\nBuild:%s\r\n\r\n%s\r\n%s\r\n%s\r\n",
                  kProductName, kProductVersion, buildDate, kRightsNotice, kContactAddress,
                  HomePage(language));
}

void FormatCodecItem(const char* fccText, const char* name, char* item)
{
    std::snprintf(item, 260, "%s - %s", fccText, name);
}

void FormatSlotLabel(int index, char* label)
{
    std::snprintf(label, 32, "Tandrel &%d", index);
}

const char* HomePage(int language)
{
    return kHomePages[UiTextIndex(language)];
}

const char* HelpPageName(int language)
{
    return kHelpPages[UiTextIndex(language)];
}

std::wstring Widened(const char* text)
{
    WCHAR wide[MAX_PATH] = L"";
    MultiByteToWideChar(CP_ACP, 0, text, -1, wide, MAX_PATH);
    return wide;
}

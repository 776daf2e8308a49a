#include "settings/codec32_sections.h"

#include <cstdio>
#include <cstring>
#include <memory>
#include <new>

#include "settings/profile.h"
#include "settings/ui_language.h"

namespace {
const char kCodec32Prefix[] = "CODEC32.";
const size_t kCodec32PrefixLength = sizeof kCodec32Prefix - 1;

const WCHAR* const kTooManySections[] = {
    L"設定ファイルのセクションが多すぎるため、登録したコーデックの一覧を読めません。\n"
    L"不要なセクションを設定ファイルから削除して下さい。",
    L"The settings file holds too many sections: the list of installed codecs cannot be read.\n"
    L"Delete the sections you no longer need from the settings file.",
};
}

bool ParseCodec32SectionNames(const char* names, DWORD length, DWORD capacity,
                              std::vector<std::string>* fccTexts)
{
    if (length == capacity - 2)
        return false;
    const char* end = names + length;
    for (const char* name = names; name < end && *name != '\0'; name += std::strlen(name) + 1) {
        if (std::strncmp(name, kCodec32Prefix, kCodec32PrefixLength) == 0)
            fccTexts->push_back(name + kCodec32PrefixLength);
    }
    return true;
}

bool EnumCodec32Sections(HWND owner, int language, const char* path, std::vector<std::string>* fccTexts)
{
    if (path == nullptr || path[0] == '\0')
        return true;
    std::unique_ptr<char[]> names(new (std::nothrow) char[kSectionNamesCapacity]());
    if (!names)
        return false;
    DWORD length = GetPrivateProfileSectionNamesA(names.get(), kSectionNamesCapacity, path);
    if (!ParseCodec32SectionNames(names.get(), length, kSectionNamesCapacity, fccTexts)) {
        MessageBoxW(owner, kTooManySections[UiTextIndex(language)], L"Tandrel64",
                    MB_OK | MB_ICONERROR);
        return false;
    }
    return true;
}

bool FormatCodec32Section(const char* fccText, char* section)
{
    int length = std::snprintf(section, MAX_PATH, "%s%s", kCodec32Prefix, fccText);
    return length >= 0 && length < MAX_PATH;
}

bool WriteCodec32Section(const char* path, const char* fccText, const char* dllPath)
{
    char section[MAX_PATH];
    if (!FormatCodec32Section(fccText, section))
        return false;
    ProfileWriteString(path, section, "pcFcc", fccText);
    return ProfileWriteString(path, section, "pcDllPath", dllPath);
}

bool DeleteCodec32Section(const char* path, const char* fccText)
{
    char section[MAX_PATH];
    if (path == nullptr || path[0] == '\0' || !FormatCodec32Section(fccText, section))
        return false;
    WritePrivateProfileStringA(section, nullptr, nullptr, path);
    return true;
}

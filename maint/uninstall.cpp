#include "maint/uninstall.h"

#include <windows.h>

#include <string>
#include <vector>

#include "maint/outside_tools.h"
#include "maint/settings_file_question.h"
#include "settings/codec32_sections.h"
#include "settings/settings_paths.h"

namespace {

// On Yes the file goes, then the directory when nothing else lies in it.
void OfferToDeleteSettingsFile(int language)
{
    char path[MAX_PATH];
    char directory[MAX_PATH];
    if (!GetSettingsFilePath(path) || !GetSettingsDirectory(directory))
        return;
    WCHAR question[kSettingsFileQuestionCapacity];
    FormatSettingsFileQuestion(language, path, question);
    if (MessageBoxW(nullptr, question, L"Tandrel64", MB_YESNO | MB_DEFBUTTON1) != IDYES)
        return;
    DeleteFileA(path);
    RemoveDirectoryA(directory);
}

}

int RunUninstall(int language, int silent, UninstallFailureReport report)
{
    UninstallLeft left;
    left.slots = UnregisterAllSlots();
    UnregisterAllCodecs(language, &left.codecs);
    if (silent)
        return 1;
    if (IsToolTaskDone(ToolTask::ApplySlots, left.slots) && left.codecs.fccTexts.empty())
        OfferToDeleteSettingsFile(language);
    else
        report(left, language);
    return 1;
}

int UnregisterAllCodecs(int language, CodecsLeft* left)
{
    char path[MAX_PATH];
    GetSettingsFilePath(path);
    // All names first: deleting sections must not disturb the list.
    std::vector<std::string> fccTexts;
    if (!EnumCodec32Sections(nullptr, language, path, &fccTexts))
        return 0;
    for (const std::string& fccText : fccTexts) {
        ToolRun run = UnregisterCodec(path, fccText.c_str());
        if (left == nullptr || IsToolTaskDone(ToolTask::UnregisterCodec, run))
            continue;
        if (left->fccTexts.empty())
            left->firstFailure = run;
        left->fccTexts.push_back(fccText);
    }
    return 1;
}

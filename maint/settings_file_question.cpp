#include "maint/settings_file_question.h"

#include <cwchar>

#include "settings/ui_language.h"

namespace {
const WCHAR* const kQuestion[] = {
    L"設定ファイルを削除しますか？\r\n\r\n",
    L"Do you delete an ini file?\r\n\r\n",
};
}

void FormatQuestion(const WCHAR* question, const char* subject, WCHAR* text)
{
    size_t length = std::wcslen(question);
    std::wmemcpy(text, question, length);
    int converted = MultiByteToWideChar(CP_ACP, 0, subject, -1, text + length,
                                        static_cast<int>(kSettingsFileQuestionCapacity - length));
    if (converted == 0)
        text[length] = L'\0';
}

void FormatSettingsFileQuestion(int language, const char* settingsPath, WCHAR* text)
{
    FormatQuestion(kQuestion[UiTextIndex(language)], settingsPath, text);
}

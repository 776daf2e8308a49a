#include "maint/settings_file_question.h"

#include <cwchar>

#include "settings/ui_language.h"

namespace {
const WCHAR* const kQuestion[] = {
    L"設定ファイルを削除しますか？\r\n\r\n",
    L"Do you delete an ini file?\r\n\r\n",
};
}

void FormatSettingsFileQuestion(int language, const char* settingsPath, WCHAR* text)
{
    const WCHAR* question = kQuestion[language == UiLanguageJapanese ? 0 : 1];
    size_t length = std::wcslen(question);
    std::wmemcpy(text, question, length);
    int pathLength = MultiByteToWideChar(CP_ACP, 0, settingsPath, -1, text + length,
                                         static_cast<int>(kSettingsFileQuestionCapacity - length));
    if (pathLength == 0)
        text[length] = L'\0';
}

#include "app/wide_to_ansi.h"

#include <windows.h>

#include <new>

std::unique_ptr<char[]> WideToAnsi(const wchar_t* text)
{
    int size = WideCharToMultiByte(CP_THREAD_ACP, 0, text, -1, nullptr, 0, nullptr, nullptr);
    if (size <= 0)
        return nullptr;
    std::unique_ptr<char[]> result(new (std::nothrow) char[static_cast<size_t>(size)]);
    if (!result || WideCharToMultiByte(CP_THREAD_ACP, 0, text, -1, result.get(), size, nullptr, nullptr) == 0)
        return nullptr;
    return result;
}

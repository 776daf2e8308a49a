#include "catalogue/installable_fourcc.h"

#include <type_traits>

namespace {

template <typename Char>
bool IsInstallable(const Char* text)
{
    int length = 0;
    for (; text[length] != 0; ++length) {
        auto c = static_cast<std::make_unsigned_t<Char>>(text[length]);
        if (length == 4 || c < 0x20 || c > 0x7E || c == ':' || c == '"' || c == '\\')
            return false;
    }
    return length >= 1;
}

}

bool IsInstallableFourCCText(const char* text)
{
    return IsInstallable(text);
}

bool IsInstallableFourCCText(const wchar_t* text)
{
    return IsInstallable(text);
}

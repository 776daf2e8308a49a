#include "settings/profile.h"

#include <cstring>
#include <memory>
#include <new>

#include "settings/profile_encoding.h"

namespace {

const int kValueCapacity = MAX_PATH;
const int kKeyCapacity = MAX_PATH;

bool HasPath(const char* path)
{
    return path != nullptr && path[0] != '\0';
}

// The raw text of a value; false when it is missing or empty.
bool ReadValue(const char* path, const char* section, const char* key, char* text, int capacity)
{
    if (!HasPath(path))
        return false;
    GetPrivateProfileStringA(section, key, "", text, static_cast<DWORD>(capacity), path);
    return text[0] != '\0';
}

bool WriteValue(const char* path, const char* section, const char* key, const char* text)
{
    if (!HasPath(path))
        return false;
    WritePrivateProfileStringA(section, key, text, path);
    return true;
}

// The read-or-create rule shared by the four kinds of value.
template <typename Read, typename Write>
bool ExchangeValue(int save, Read read, Write write)
{
    if (save == 1)
        return write();
    if (read())
        return true;
    write();
    return false;
}

}

bool ProfileWriteInt(const char* path, const char* section, const char* key, const int* field)
{
    char text[kProfileNumberCapacity];
    FormatProfileInt(*field, text);
    return WriteValue(path, section, key, text);
}

bool ProfileReadInt(const char* path, const char* section, const char* key, int* field)
{
    char text[kValueCapacity];
    if (!ReadValue(path, section, key, text, kValueCapacity))
        return false;
    ParseProfileInt(text, field);
    return true;
}

bool ProfileExchangeInt(int save, const char* path, const char* section, const char* key, int* field)
{
    return ExchangeValue(
        save, [&] { return ProfileReadInt(path, section, key, field); },
        [&] { return ProfileWriteInt(path, section, key, field); });
}

bool ProfileWriteHex(const char* path, const char* section, const char* key, const uint32_t* field)
{
    char text[kProfileNumberCapacity];
    FormatProfileHex(*field, text);
    return WriteValue(path, section, key, text);
}

bool ProfileReadHex(const char* path, const char* section, const char* key, uint32_t* field)
{
    char text[kValueCapacity];
    if (!ReadValue(path, section, key, text, kValueCapacity))
        return false;
    ParseProfileHex(text, field);
    return true;
}

bool ProfileExchangeHex(int save, const char* path, const char* section, const char* key, uint32_t* field)
{
    return ExchangeValue(
        save, [&] { return ProfileReadHex(path, section, key, field); },
        [&] { return ProfileWriteHex(path, section, key, field); });
}

bool ProfileWriteString(const char* path, const char* section, const char* key, const char* field)
{
    return WriteValue(path, section, key, field);
}

bool ProfileReadString(const char* path, const char* section, const char* key, char* field, int capacity)
{
    if (capacity <= 0)
        return false;
    std::unique_ptr<char[]> text(new (std::nothrow) char[static_cast<size_t>(capacity)]);
    if (!text || !ReadValue(path, section, key, text.get(), capacity))
        return false;
    std::memcpy(field, text.get(), std::strlen(text.get()) + 1);
    return true;
}

bool ProfileExchangeString(int save, const char* path, const char* section, const char* key, char* field,
                           int capacity)
{
    return ExchangeValue(
        save, [&] { return ProfileReadString(path, section, key, field, capacity); },
        [&] { return ProfileWriteString(path, section, key, field); });
}

namespace {

LONG* RectCoordinate(RECT* rect, int index)
{
    LONG* coordinates[4] = {&rect->left, &rect->top, &rect->right, &rect->bottom};
    return coordinates[index];
}

}

bool ProfileWriteRect(const char* path, const char* section, const char* stem, const RECT* field)
{
    RECT rect = *field;
    for (int i = 0; i < 4; ++i) {
        char key[kKeyCapacity];
        if (!RectKeyName(stem, i, key, kKeyCapacity))
            return false;
        int value = *RectCoordinate(&rect, i);
        if (!ProfileWriteInt(path, section, key, &value))
            return false;
    }
    return true;
}

bool ProfileReadRect(const char* path, const char* section, const char* stem, RECT* field)
{
    // A coordinate whose text does not parse keeps the field's value.
    RECT rect = *field;
    for (int i = 0; i < 4; ++i) {
        char key[kKeyCapacity];
        int value = *RectCoordinate(&rect, i);
        if (!RectKeyName(stem, i, key, kKeyCapacity) || !ProfileReadInt(path, section, key, &value))
            return false;
        *RectCoordinate(&rect, i) = value;
    }
    *field = rect;
    return true;
}

bool ProfileExchangeRect(int save, const char* path, const char* section, const char* stem, RECT* field)
{
    return ExchangeValue(
        save, [&] { return ProfileReadRect(path, section, stem, field); },
        [&] { return ProfileWriteRect(path, section, stem, field); });
}

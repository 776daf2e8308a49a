#include "settings/path_text.h"

#include <cstring>

namespace {
const size_t kPathCapacity = 260;
}

bool DirectoryOfPath(const char* path, char* directory)
{
    const char* slash = std::strrchr(path, '\\');
    if (path[0] == '\0' || slash == nullptr)
        return false;
    size_t length = static_cast<size_t>(slash - path);
    std::memcpy(directory, path, length);
    directory[length] = '\0';
    return true;
}

bool JoinPath(const char* directory, const char* name, char* out)
{
    size_t directoryLength = std::strlen(directory);
    size_t nameLength = std::strlen(name);
    if (directoryLength + 1 + nameLength >= kPathCapacity) {
        out[0] = '\0';
        return false;
    }
    std::memcpy(out, directory, directoryLength);
    out[directoryLength] = '\\';
    std::memcpy(out + directoryLength + 1, name, nameLength + 1);
    return true;
}

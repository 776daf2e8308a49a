#pragma once

#include <windows.h>

#include <initializer_list>
#include <string>

// The real per-user settings locations of the test prefix, and plain file
// access for tests that compare a settings file byte for byte.

std::string RealSettingsDirectory();
std::string RealSettingsFile();

// Deletes the settings file and the settings directory (when empty).
void RemoveRealSettings();

// Creates the settings directory when missing.
void CreateRealSettingsDirectory();

// A fresh path in the temporary folder, unique to this process and `name`;
// any file of that name is deleted first.
std::string FreshTempPath(const std::string& name);

// A FreshTempPath whose file goes with the object, after a failed
// assertion too.
class TempFile {
public:
    explicit TempFile(const std::string& name)
        : path_(FreshTempPath(name))
    {
    }
    TempFile(const TempFile&) = delete;
    TempFile& operator=(const TempFile&) = delete;
    ~TempFile() { DeleteFileA(path_.c_str()); }
    const std::string& Path() const { return path_; }

private:
    std::string path_;
};

// Deletes the files of the temporary folder whose names begin with `prefix`.
void DeleteTempFiles(const std::string& prefix);

// What a read of the key gives back, or kMissingValue when it is absent.
const char kMissingValue[] = "<missing>";
std::string StoredValue(const std::string& path, const std::string& section, const char* key);

// The short form of an existing path.
std::string ShortPath(const std::string& path);

// True when a file or folder of that name exists.
bool PathExists(const std::string& path);

// The values of several keys of one section, joined by "|".
std::string StoredValues(const std::string& path, const std::string& section,
                         std::initializer_list<const char*> keys);

bool ReadWholeFile(const std::string& path, std::string* contents);
bool WriteWholeFile(const std::string& path, const std::string& contents);

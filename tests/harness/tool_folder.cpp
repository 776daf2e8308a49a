#include "tool_folder.h"

#include <windows.h>
#include <tlhelp32.h>

#include <sstream>

#include "settings_files.h"
#include "test_process.h"

namespace {

// A program started from the folder may outlive the test by a moment: a
// host that waits after its program ended goes at its next check. Its
// files can go only after it.
void WaitForProgramsFrom(const std::string& folder)
{
    // Programs started through a short path report that path.
    char longFolder[MAX_PATH];
    if (GetLongPathNameA(folder.c_str(), longFolder, MAX_PATH) == 0)
        return;
    std::string prefix = std::string(longFolder) + "\\";
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snapshot == INVALID_HANDLE_VALUE)
        return;
    PROCESSENTRY32 entry = {};
    entry.dwSize = sizeof entry;
    for (BOOL more = Process32First(snapshot, &entry); more; more = Process32Next(snapshot, &entry)) {
        HANDLE process = OpenProcess(SYNCHRONIZE | PROCESS_QUERY_LIMITED_INFORMATION, FALSE, entry.th32ProcessID);
        if (process == nullptr)
            continue;
        char image[MAX_PATH];
        DWORD size = sizeof image;
        if (QueryFullProcessImageNameA(process, 0, image, &size) && GetLongPathNameA(image, image, MAX_PATH) != 0
            && CompareStringA(LOCALE_INVARIANT, NORM_IGNORECASE, image, static_cast<int>(prefix.size()),
                              prefix.c_str(), static_cast<int>(prefix.size()))
                == CSTR_EQUAL)
            WaitForSingleObject(process, 20000);
        CloseHandle(process);
    }
    CloseHandle(snapshot);
}

}

ToolFolder::ToolFolder(const std::string& name)
{
    path_ = FreshTempPath("tool folder " + name);
    CreateDirectoryA(path_.c_str(), nullptr);
}

ToolFolder::~ToolFolder()
{
    ReleaseTools();
    WaitForProgramsFrom(path_);
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((path_ + "\\*").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
                DeleteFileA(PathOf(found.cFileName).c_str());
        } while (FindNextFileA(search, &found));
        FindClose(search);
    }
    RemoveDirectoryA(path_.c_str());
}

bool ToolFolder::Add(const std::string& buildFile)
{
    std::string fileName = buildFile.substr(buildFile.find_last_of('\\') + 1);
    return CopyFileA(BinPath(buildFile.c_str()).c_str(), PathOf(fileName).c_str(), FALSE) != FALSE;
}

std::vector<std::string> ToolFolder::Calls() const
{
    std::vector<std::string> lines;
    std::string contents;
    if (!ReadWholeFile(PathOf("tool-calls.txt"), &contents))
        return lines;
    std::istringstream stream(contents);
    std::string line;
    while (std::getline(stream, line))
        lines.push_back(line);
    return lines;
}

void ToolFolder::SetExitCode(const std::string& tool, int code) const
{
    WriteWholeFile(PathOf(tool.substr(0, tool.find_last_of('.')) + ".exit"), std::to_string(code));
}

void ToolFolder::HoldTools()
{
    if (gate_ == nullptr)
        gate_ = CreateEventA(nullptr, TRUE, FALSE,
                             ("tandrel-tool-gate:" + path_.substr(path_.find_last_of('\\') + 1)).c_str());
}

void ToolFolder::ReleaseTools()
{
    if (gate_ == nullptr)
        return;
    SetEvent(gate_);
    CloseHandle(gate_);
    gate_ = nullptr;
}

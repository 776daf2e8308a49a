#include "tool_folder.h"

#include <windows.h>

#include <sstream>

#include "settings_files.h"
#include "test_process.h"

ToolFolder::ToolFolder(const std::string& name)
{
    path_ = FreshTempPath("tool folder " + name);
    CreateDirectoryA(path_.c_str(), nullptr);
}

ToolFolder::~ToolFolder()
{
    ReleaseTools();
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

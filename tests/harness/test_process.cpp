#include "test_process.h"

#include <tlhelp32.h>

#include <cstdio>
#include <map>

std::string TestBinDirectory()
{
    char path[MAX_PATH];
    DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string text(path, length);
    return text.substr(0, text.find_last_of('\\'));
}

std::string BinPath(const char* fileName)
{
    return TestBinDirectory() + "\\" + fileName;
}

int RunToExit(const std::string& exePath, const std::string& arguments)
{
    TestProcess process;
    DWORD exitCode = 0;
    if (!process.Start(exePath, arguments)) {
        std::fprintf(stderr, "%s %s: CreateProcess failed with error %lu\n", exePath.c_str(), arguments.c_str(),
                     GetLastError());
        return -1;
    }
    if (!process.WaitForExit(20000, &exitCode)) {
        std::fprintf(stderr, "%s %s: still running after 20 s\n", exePath.c_str(), arguments.c_str());
        return -1;
    }
    return static_cast<int>(exitCode);
}

bool TestProcess::Start(const std::string& exePath, const std::string& arguments)
{
    Terminate();
    std::string commandLine = "\"" + exePath + "\"";
    if (!arguments.empty())
        commandLine += " " + arguments;
    return process_.Start(exePath.c_str(), commandLine.c_str());
}

void TestProcess::Terminate()
{
    process_.Terminate();
    process_.Close();
}

std::vector<DWORD> DescendantsNamed(DWORD ancestor, const char* exeName)
{
    std::map<DWORD, DWORD> parentOf;
    std::vector<DWORD> named;
    // Id 0 is no process the caller started: the root processes name it.
    HANDLE snapshot = ancestor != 0 ? CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0) : INVALID_HANDLE_VALUE;
    if (snapshot == INVALID_HANDLE_VALUE)
        return named;
    PROCESSENTRY32 entry = {};
    entry.dwSize = sizeof entry;
    for (BOOL more = Process32First(snapshot, &entry); more; more = Process32Next(snapshot, &entry)) {
        parentOf[entry.th32ProcessID] = entry.th32ParentProcessID;
        if (lstrcmpiA(entry.szExeFile, exeName) == 0)
            named.push_back(entry.th32ProcessID);
    }
    CloseHandle(snapshot);
    std::vector<DWORD> descendants;
    for (DWORD pid : named) {
        // The walk stops at a process that is gone, and at a loop of ids.
        DWORD parent = parentOf[pid];
        for (size_t step = 0; parent != ancestor && parentOf.count(parent) != 0 && step < parentOf.size(); ++step)
            parent = parentOf[parent];
        if (parent == ancestor && pid != ancestor)
            descendants.push_back(pid);
    }
    return descendants;
}

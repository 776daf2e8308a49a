#pragma once

#include <windows.h>

#include <string>
#include <vector>

// A temporary folder with a blank in its name that holds copies of programs
// of the build, so that a program finds the recording tool stand-ins beside
// itself. Deleted with everything in it when the object goes.
class ToolFolder {
public:
    explicit ToolFolder(const std::string& name);
    ToolFolder(const ToolFolder&) = delete;
    ToolFolder& operator=(const ToolFolder&) = delete;
    ~ToolFolder();

    // Copies a file of the build directory ("Tandrel64.exe",
    // "fakes\\TandrelMng.exe") into the folder under its plain name.
    bool Add(const std::string& buildFile);

    std::string PathOf(const std::string& fileName) const { return path_ + "\\" + fileName; }

    // The lines the stand-ins recorded, in order: each command line, then
    // "ended" when that run finished.
    std::vector<std::string> Calls() const;

    // The stand-in "TandrelMng.exe" or "QelInstall32.exe" of the folder ends
    // with `code` from its next run on.
    void SetExitCode(const std::string& tool, int code) const;

    // While held, the stand-ins of the folder wait before they end (on an
    // event named by the folder); released again when the folder goes.
    void HoldTools();
    void ReleaseTools();

private:
    std::string path_;
    HANDLE gate_ = nullptr;
};

#include "demo/reference_run.h"

#include <windows.h>

#include "driver/child_process.h"

namespace {

std::string ProgramFolder()
{
    char path[MAX_PATH];
    DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string text(path, length < MAX_PATH ? length : 0);
    return text.substr(0, text.find_last_of('\\'));
}

std::string TranscriptPath()
{
    char folder[MAX_PATH] = "";
    GetTempPathA(MAX_PATH, folder);
    return std::string(folder) + "tandrel-reference-" + std::to_string(GetCurrentProcessId()) + ".bin";
}

}

bool RunReference(const char* fccText, const ClipSpec& clip, DWORD timeoutMs, Transcript* transcript,
                  SessionFigures* figures)
{
    std::string exe = ProgramFolder() + "\\codec_reference.exe";
    std::string path = TranscriptPath();
    std::string line = "\"" + exe + "\" " + fccText + " " + ClipArguments(clip) + " \"" + path + "\"";
    ChildProcess reference;
    DWORD exitCode = 1;
    if (!reference.Start(exe.c_str(), line.c_str()))
        return false;
    if (!reference.WaitForExit(timeoutMs, &exitCode))
        reference.Terminate();
    bool read = exitCode == 0 && ReadTranscript(path, transcript);
    DeleteFileA(path.c_str());
    SessionFigures taken;
    bool timed = read && TakeFiguresStep(transcript, &taken);
    if (figures != nullptr)
        *figures = timed ? taken : SessionFigures();
    return read;
}

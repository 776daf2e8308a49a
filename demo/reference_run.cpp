#include "demo/reference_run.h"

#include <windows.h>

#include <cstring>

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

bool RunTranscriptProgram(const char* exeName, const std::vector<std::string>& arguments, DWORD timeoutMs,
                          Transcript* transcript, SessionFigures* figures)
{
    std::string exe = ProgramFolder() + "\\" + exeName;
    std::string path = TranscriptPath();
    std::string line = "\"" + exe + "\"";
    for (const std::string& argument : arguments)
        line += " \"" + argument + "\"";
    line += " \"" + path + "\"";
    ChildProcess program;
    DWORD exitCode = 1;
    if (!program.Start(exe.c_str(), line.c_str()))
        return false;
    if (!program.WaitForExit(timeoutMs, &exitCode))
        program.Terminate();
    bool read = exitCode == 0 && ReadTranscript(path, transcript);
    DeleteFileA(path.c_str());
    SessionFigures taken;
    bool timed = read && TakeFiguresStep(transcript, &taken);
    if (figures != nullptr)
        *figures = timed ? taken : SessionFigures();
    return read;
}

bool RunReference(const std::vector<std::string>& arguments, DWORD timeoutMs, Transcript* transcript,
                  SessionFigures* figures)
{
    return RunTranscriptProgram("codec_reference.exe", arguments, timeoutMs, transcript, figures);
}

bool RunReferenceInfo(const char* fccText, DWORD timeoutMs, ICINFO* info, uint32_t* openModes)
{
    Transcript transcript;
    if (!RunReference({"info", fccText}, timeoutMs, &transcript) || transcript.size() != 2
        || transcript[0].what != kCodecInformationStep || transcript[0].result <= 0
        || transcript[0].data.size() != sizeof *info)
        return false;
    std::memcpy(info, transcript[0].data.data(), sizeof *info);
    *openModes = static_cast<uint32_t>(transcript[1].result);
    return true;
}

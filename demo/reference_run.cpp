#include "demo/reference_run.h"

#include <cstring>

#include "demo/codec_session.h"
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

// codec_reference.exe with `arguments` and the transcript's path behind them.
bool RunReferenceProgram(const std::string& arguments, DWORD timeoutMs, Transcript* transcript)
{
    std::string exe = ProgramFolder() + "\\codec_reference.exe";
    std::string path = TranscriptPath();
    std::string line = "\"" + exe + "\" " + arguments + " \"" + path + "\"";
    ChildProcess reference;
    DWORD exitCode = 1;
    if (!reference.Start(exe.c_str(), line.c_str()))
        return false;
    if (!reference.WaitForExit(timeoutMs, &exitCode))
        reference.Terminate();
    bool read = exitCode == 0 && ReadTranscript(path, transcript);
    DeleteFileA(path.c_str());
    return read;
}

}

bool RunReference(const char* fccText, const ClipSpec& clip, DWORD timeoutMs, Transcript* transcript,
                  SessionFigures* figures)
{
    if (!RunReferenceProgram(std::string(fccText) + " " + ClipArguments(clip), timeoutMs, transcript))
        return false;
    SessionFigures taken;
    bool timed = TakeFiguresStep(transcript, &taken);
    if (figures != nullptr)
        *figures = timed ? taken : SessionFigures();
    return true;
}

bool RunReferenceInfo(const char* fccText, DWORD timeoutMs, ICINFO* info)
{
    Transcript transcript;
    if (!RunReferenceProgram(std::string("/info ") + fccText, timeoutMs, &transcript)
        || transcript.size() != 1 || transcript[0].what != kCodecInformationStep || transcript[0].result <= 0
        || transcript[0].data.size() != sizeof *info)
        return false;
    std::memcpy(info, transcript[0].data.data(), sizeof *info);
    return true;
}

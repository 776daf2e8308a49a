// TandrelSlotTest.exe: tests one slot as a 64-bit program meets it and
// ends with an exit code that tells why it does not work; the report goes
// to the file of /out: or to the standard output.

#include <windows.h>
#include <shellapi.h>

#include "slottest/slot_test_steps.h"
#include "slottest/slot_test_arguments.h"

namespace {

void WriteReport(const std::wstring& path, const std::string& report)
{
    HANDLE file = path.empty()
        ? GetStdHandle(STD_OUTPUT_HANDLE)
        : CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == nullptr || file == INVALID_HANDLE_VALUE)
        return;
    DWORD written = 0;
    WriteFile(file, report.data(), static_cast<DWORD>(report.size()), &written, nullptr);
    if (!path.empty())
        CloseHandle(file);
}

}

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    int argc = 0;
    wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
    SlotTestArguments arguments;
    bool parsed = argv != nullptr && ParseSlotTestArguments(argc, argv, &arguments);
    LocalFree(argv);
    if (!parsed)
        return SlotTestExitCode(SlotTestCause::BadArguments);
    std::string report;
    SlotTestCause cause;
    {
        SlotTest test(arguments.slot);
        cause = test.Run();
        report = test.Report();
    }
    WriteReport(arguments.reportPath, report);
    return SlotTestExitCode(cause);
}

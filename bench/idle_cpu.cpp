#include "bench/idle_cpu.h"

#include <sstream>

#include "bench/bench_setup.h"

namespace {

// The Linux process whose command line holds `token`: Wine's programs are
// Linux processes, and /proc is on drive Z:.
std::string FindLinuxProcess(const std::string& token)
{
    WIN32_FIND_DATAA entry;
    HANDLE search = FindFirstFileA("Z:\\proc\\*", &entry);
    if (search == INVALID_HANDLE_VALUE)
        return "";
    std::string found;
    do {
        std::string name = entry.cFileName;
        std::string commandLine;
        if (name.find_first_not_of("0123456789") == std::string::npos
            && ReadWholeFile("Z:\\proc\\" + name + "\\cmdline", &commandLine)
            && commandLine.find(token) != std::string::npos)
            found = name;
    } while (found.empty() && FindNextFileA(search, &entry));
    FindClose(search);
    return found;
}

// User plus system time of a Linux process, in clock ticks (1/100 s).
long long CpuTicks(const std::string& linuxPid)
{
    std::string stat;
    if (linuxPid.empty() || !ReadWholeFile("Z:\\proc\\" + linuxPid + "\\stat", &stat))
        return -1;
    std::istringstream fields(stat.substr(stat.rfind(')') + 2));
    std::string field;
    long long ticks = 0;
    for (int i = 0; i < 13 && fields >> field; ++i) {
        if (i == 11 || i == 12)
            ticks += std::stoll(field);
    }
    return ticks;
}

}

std::vector<double> IdlePercents(const std::vector<std::string>& tokens, DWORD milliseconds)
{
    std::vector<std::string> pids;
    std::vector<long long> starts;
    for (const std::string& token : tokens) {
        pids.push_back(FindLinuxProcess(token));
        starts.push_back(CpuTicks(pids.back()));
    }
    Sleep(milliseconds);
    std::vector<double> percents;
    for (size_t i = 0; i < pids.size(); ++i) {
        double ticks = static_cast<double>(CpuTicks(pids[i]) - starts[i]);
        percents.push_back(starts[i] < 0 ? -1 : ticks / 100.0 / (milliseconds / 1000.0) * 100.0);
    }
    return percents;
}

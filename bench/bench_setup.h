#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "driver/child_process.h"
#include "settings/config_settings.h"

// What the benchmark changes in the Wine prefix, put back when it goes: the
// settings file, the ten slot drivers and Wine's own mrle (blocked) in the
// 64-bit view of Drivers32, and the test codec's value in its 32-bit view.
class BenchSetup {
public:
    BenchSetup();
    BenchSetup(const BenchSetup&) = delete;
    BenchSetup& operator=(const BenchSetup&) = delete;
    ~BenchSetup();

    // Registers the recording test codec beside this program under its
    // benchmark FourCC and switches all ten slots on for Wine's mrle, each
    // with the client driver registered.
    bool Prepare();

    // Points the slot at the codec (`kBenchTestCodec` or `kBenchRealCodec`)
    // unless it has it already; a host reads it when it starts.
    bool SetSlotCodec(int slot, const char* fcc);

private:
    struct SavedValue {
        std::string name;
        REGSAM view;
        bool present;
        std::string data;
    };

    std::vector<SavedValue> values_;
    std::string slotCodecs_[kSlotCount];
    bool hadSettings_ = false;
    std::string settings_;
};

// A program beside this one, e.g. "bench_helper.exe".
std::string BesideThisProgram(const char* fileName);

// The whole file, read to its end (/proc's files tell no size); false when
// it does not open.
bool ReadWholeFile(const std::string& path, std::string* contents);

// A window of the 32-bit helper (bench_helper.cpp) in a process of its own,
// under a title unique to this run; closed when the object goes.
class HelperWindow {
public:
    HelperWindow() = default;
    HelperWindow(const HelperWindow&) = delete;
    HelperWindow& operator=(const HelperWindow&) = delete;
    ~HelperWindow();

    // `mode` is "window" or "sleep-window".
    bool Start(const char* mode);

    // kBenchPing sent and answered: microseconds, or -1.
    double RoundTrip() const;
    HWND Window() const { return window_; }
    const std::string& Title() const { return title_; }

private:
    ChildProcess process_;
    std::string title_;
    HWND window_ = nullptr;
};

// Ends the hosts this process started (RunningChildrenNamed) but `kept`, as
// a program that opens its first codec finds none waiting.
void EndHostsBut(DWORD kept);

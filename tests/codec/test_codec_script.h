#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "driver/shared_mapping.h"
#include "test_codec_control.h"

// The test side of the recording test codec: registers the DLL under a
// FourCC in the 32-bit Drivers32 key of HKEY_LOCAL_MACHINE and scripts it
// through its control mapping. Works from 32- and 64-bit test programs.

// Registers "vidc.<fccText>" = the full path of the codec DLL beside the
// test program (or `dllPath` when given).
bool RegisterTestCodec(const char* fccText, const char* dllPath = nullptr);
bool UnregisterTestCodec(const char* fccText);
// Registers the decode-only test codec (decode_only_codec.h) the same way;
// UnregisterTestCodec removes it.
bool RegisterDecodeOnlyCodec(const char* fccText);

// A fresh FourCC text for this process, registered for nothing yet.
std::string UniqueFccText(char first);

class TestCodecScript {
public:
    TestCodecScript() = default;
    TestCodecScript(const TestCodecScript&) = delete;
    TestCodecScript& operator=(const TestCodecScript&) = delete;

    // Creates the zero-filled control mapping for that FourCC value, with
    // recording switched on.
    bool Create(uint32_t fcc);

    TestCodecControl* operator->() { return control_; }
    TestCodecControl* Control() { return control_; }

    // Makes the codec answer `result` to `message` without doing anything.
    void Answer(uint32_t message, int32_t result);
    void ClearCalls();

    // The recorded calls of one message, in order.
    std::vector<TestCodecCall> CallsOf(uint32_t message) const;

private:
    SharedMapping mapping_;
    TestCodecControl* control_ = nullptr;
};

// Fills a UTF-16 field of the script from ASCII text.
void SetScriptText(uint16_t* field, size_t capacity, const char* text);

#pragma once

#include <windows.h>
#include <vfw.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "host_client.h"
#include "test_codec_script.h"

// A host for slot tdl3 serving the recording test codec under a FourCC of
// its own, started by a HostClient that plays the client driver. The
// settings file is the real one; each test starts without one.
class HostTest : public ::testing::Test {
protected:
    static constexpr const char* kSlot = "tdl3";

    void SetUp() override;
    void TearDown() override;

    // Starts the host and forgets what the codec received while opening.
    void Launch();

    // The last call of that message; a failed expectation when none came.
    TestCodecCall LastCall(uint32_t message);
    uint32_t CallCount() { return script->callCount; }
    void ClearAnswers();

    std::string fccText;
    uint32_t fcc = 0;
    TestCodecScript script;
    HostClient client;
};

// Checks one recorded argument: its region and, for the view regions, the
// offset; for RegionOther the raw value.
::testing::AssertionResult ArgIs(const TestCodecArg& arg, uint32_t region, int64_t offsetOrValue = 0);

// A fresh FourCC text for this process, registered for nothing yet.
std::string UniqueFccText(char first);

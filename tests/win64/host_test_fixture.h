#pragma once

#include <windows.h>
#include <vfw.h>

#include <gtest/gtest.h>

#include <initializer_list>
#include <string>
#include <utility>
#include <vector>

#include "host/liveness_deadline.h"
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
    // Settles the whole-record layouts of this protocol.
    void AskForWholeRecords()
    {
        ASSERT_EQ(int32_t(HandshakeResult(kHostProtocolVersion, kLayoutsWholeRecords)),
                  client.Send(kRequestHandshake, kLayoutsWholeRecords, kHostProtocolVersion));
    }

    // The last call of that message; a failed expectation when none came.
    TestCodecCall LastCall(uint32_t message);
    uint32_t CallCount() { return script->callCount; }
    void ClearAnswers();
    // The result the client gets for each answer of the codec to `message`.
    struct AnswerCase {
        int32_t answer;
        int32_t result;
    };
    void ExpectResults(uint32_t message, UINT request, WPARAM wParam, LPARAM lParam,
                       std::initializer_list<AnswerCase> cases)
    {
        for (const AnswerCase& each : cases) {
            script.Answer(message, each.answer);
            EXPECT_EQ(each.result, client.Send(request, wParam, lParam)) << "codec answer " << each.answer;
        }
    }
    // Where the host's private copy of ParamArea begins as the codec sees
    // it: the input header of a query that holds it at offset 0. The copy
    // stays in place while the host runs.
    TestCodecArg CopyStart();

    // Sends the request and expects it refused with -100 before the codec
    // sees anything, the host giving `reason` (HostRefusal) in the control
    // block: none in the layouts before whole records.
    void ExpectRefused(UINT request, WPARAM wParam, LPARAM lParam, const char* why,
                       uint32_t reason = kRefusalNone);
    // Sends a request outside the table and expects the default answer 0,
    // the codec not called.
    void ExpectRefusedAsUnknown(UINT request);

    // Reads the host's next message boxes in order, checks each one's text,
    // caption and single OK button, and closes it.
    void ExpectBoxes(std::initializer_list<std::pair<std::string, std::string>> textsAndCaptions);

    // Input header of `inputSize` bytes at `offset`, output header behind it.
    void PutPair(uint32_t offset, uint32_t inputSize, const BITMAPINFOHEADER& input,
                 const BITMAPINFOHEADER& output);
    // A compression or decompression record (zero but for the key-frame
    // flag and `frame`) and the two headers behind it.
    void PutCompress(const BITMAPINFOHEADER& input, const BITMAPINFOHEADER& output, int32_t frame = 0);
    void PutDecompress(const BITMAPINFOHEADER& input, const BITMAPINFOHEADER& output);
    // Creates frame mappings as large as the host's rule asks and sends the
    // BEGIN for the two headers; its result.
    int32_t Begin(UINT request, const BITMAPINFOHEADER& input, const BITMAPINFOHEADER& output);

    std::string fccText;
    uint32_t fcc = 0;
    TestCodecScript script;
    HostClient client;
};

// Checks one recorded argument: its region and, for the view regions, the
// offset; for RegionOther the raw value.
::testing::AssertionResult ArgIs(const TestCodecArg& arg, uint32_t region, int64_t offsetOrValue = 0);

// Checks that an argument points into the host's private copy of ParamArea,
// `offset` bytes behind `base` (another pointer into the copy).
::testing::AssertionResult InCopy(const TestCodecArg& arg, const TestCodecArg& base, int64_t offset = 0);

// Waits for the client's host to end and gives its exit code (~0u when it
// runs on). The default is generous for a loaded machine: a host that was
// let go ends at its next check.
DWORD HostExitCode(HostClient& client, DWORD timeoutMs = 6 * kHostCheckIntervalMs);

// True while some process holds the mapping of that name.
bool MappingExists(const std::string& name);

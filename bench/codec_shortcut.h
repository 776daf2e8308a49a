#pragma once

#include <windows.h>

#include <cstdint>

#include "driver/shared_mapping.h"

// Makes the recording test codec answer ICM_COMPRESS at once, touching no
// frame, through its control mapping (tests/codec/test_codec_control.h):
// the codec looks for the mapping when it opens and reads its answers at
// every call. Without a shortcut in force it compresses as usual and
// records nothing.
class CodecShortcut {
public:
    CodecShortcut() = default;
    CodecShortcut(const CodecShortcut&) = delete;
    CodecShortcut& operator=(const CodecShortcut&) = delete;

    // Before any process opens the codec `fcc`.
    bool Create(uint32_t fcc);
    void Set(bool atOnce);
    // Makes every open of the codec take `ms` longer, in every process.
    void SetOpenDelay(uint32_t ms);

private:
    SharedMapping mapping_;
    struct TestCodecControl* control_ = nullptr;
};

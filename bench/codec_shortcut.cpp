#include "bench/codec_shortcut.h"

#include <vfw.h>

#include <cstdio>
#include <cstring>

#include "tests/codec/test_codec_control.h"

CodecShortcut::~CodecShortcut()
{
    if (control_ != nullptr)
        UnmapViewOfFile(control_);
    if (mapping_ != nullptr)
        CloseHandle(mapping_);
}

bool CodecShortcut::Create(uint32_t fcc)
{
    char name[64];
    std::snprintf(name, sizeof name, kTestCodecMappingFormat, static_cast<unsigned>(fcc));
    mapping_ = CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, sizeof(TestCodecControl),
                                  name);
    control_ = mapping_ != nullptr
        ? static_cast<TestCodecControl*>(MapViewOfFile(mapping_, FILE_MAP_ALL_ACCESS, 0, 0, 0))
        : nullptr;
    if (control_ != nullptr)
        std::memset(control_, 0, sizeof *control_);
    return control_ != nullptr;
}

void CodecShortcut::Set(bool atOnce)
{
    control_->answers[0] = atOnce ? TestCodecAnswer {ICM_COMPRESS, ICERR_OK} : TestCodecAnswer {};
}

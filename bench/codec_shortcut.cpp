#include "bench/codec_shortcut.h"

#include <vfw.h>

#include <cstdio>
#include <cstring>

#include "tests/codec/test_codec_control.h"

bool CodecShortcut::Create(uint32_t fcc)
{
    char name[64];
    std::snprintf(name, sizeof name, kTestCodecMappingFormat, static_cast<unsigned>(fcc));
    if (!mapping_.Create(name, sizeof(TestCodecControl), false))
        return false;
    control_ = reinterpret_cast<TestCodecControl*>(mapping_.View());
    std::memset(control_, 0, sizeof *control_);
    return true;
}

void CodecShortcut::Set(bool atOnce)
{
    control_->answers[0] = atOnce ? TestCodecAnswer {ICM_COMPRESS, ICERR_OK} : TestCodecAnswer {};
}

void CodecShortcut::SetOpenDelay(uint32_t ms)
{
    control_->openDelayMs = ms;
}

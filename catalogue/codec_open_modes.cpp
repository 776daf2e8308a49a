#include "catalogue/codec_open_modes.h"

#include "catalogue/codec_open.h"
#include "catalogue/open_modes.h"

uint32_t AskCodecOpenModes(uint32_t fcc)
{
    if (fcc == 0)
        return 0;
    return RecordOpenModes([fcc](UINT mode) {
        HIC codec = OpenCodecKeptLoaded(ICTYPE_VIDEO, fcc, mode);
        if (codec != nullptr)
            CloseCodecKeptLoaded(codec);
        return codec != nullptr;
    });
}

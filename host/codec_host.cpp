#include "host/codec_host.h"

CCodecHost g_codecHost;

// Host mode is not built yet: it ends at once without a window.
int CCodecHost::Run(HINSTANCE, const char*, const char*)
{
    return 0;
}

void CCodecHost::Release()
{
}

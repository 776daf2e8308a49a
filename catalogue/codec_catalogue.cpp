#include "catalogue/codec_catalogue.h"

// The catalogue is not built yet: it stays empty.
bool BuildCodecCatalogue()
{
    return false;
}

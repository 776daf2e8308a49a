#pragma once

// A 32-bit decoder of Cinepak that only decodes, as many old decoders do:
// it refuses an open for compression and otherwise is Wine's own 32-bit
// Cinepak decoder. Tests register it under a FourCC of their own.
const char kDecodeOnlyCodecDllName[] = "tandrel_decode_only_codec.dll";

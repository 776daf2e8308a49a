#pragma once

#include <windows.h>

// A codec's description texts arrive as wide strings of a fixed capacity and
// are kept as ANSI text of at most 128 bytes, terminator included.
const int kCodecTextBytes = 128;

// Converts `wide` (read up to its terminator or `wideCapacity` characters,
// whichever comes first) into `codePage`. A text whose converted form does
// not fit kCodecTextBytes is cut after its last whole character that fits,
// never inside a multi-byte character or a surrogate pair. `text` holds
// kCodecTextBytes characters and is always terminated; empty when the code
// page cannot convert.
void CodecTextToAnsi(UINT codePage, const WCHAR* wide, int wideCapacity, char* text);

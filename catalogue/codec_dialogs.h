#pragma once

#include <windows.h>

// A codec's own configuration dialog and About box, owned by `owner`. The
// codec is named by its FourCC text; "DIB" and "DIB " (the uncompressed
// format) only get a warning. A codec that does not open for compression
// gets the "Not install %s codec." error. Failures are shown, not returned
// further: false after the error box, otherwise true.
bool ConfigureCodec(HWND owner, const char* fccText);
bool AboutCodec(HWND owner, const char* fccText);

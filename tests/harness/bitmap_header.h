#pragma once

#include <windows.h>

// A BITMAPINFOHEADER with biSize 40, one plane and the given fields.
inline BITMAPINFOHEADER MakeHeader(LONG width, LONG height, WORD bitCount, DWORD compression = BI_RGB,
                                   DWORD sizeImage = 0, DWORD coloursUsed = 0)
{
    BITMAPINFOHEADER header = {};
    header.biSize = sizeof header;
    header.biWidth = width;
    header.biHeight = height;
    header.biPlanes = 1;
    header.biBitCount = bitCount;
    header.biCompression = compression;
    header.biSizeImage = sizeImage;
    header.biClrUsed = coloursUsed;
    return header;
}

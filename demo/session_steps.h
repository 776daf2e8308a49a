#pragma once

#include <windows.h>
#include <vfw.h>

#include <cstdint>
#include <string>
#include <vector>

#include "demo/transcript.h"

// Steps that the client sessions share.

// Room for any format of the sessions' clips: a header and a full palette.
const size_t kFormatBytes = sizeof(BITMAPINFOHEADER) + 256 * sizeof(RGBQUAD);

// A codec's 32-bit result, as a 64-bit caller gets it sign-extended.
int32_t Low32(LRESULT result);
BITMAPINFOHEADER* Header(std::vector<uint8_t>& format);
// A header with its colour table.
size_t FormatSpan(const BITMAPINFOHEADER* header);

// ICOpen of the codec named by its FourCC text (recorded).
HIC OpenClientCodec(const std::string& codec, UINT mode, Transcript* transcript);
// The compressed format the codec chooses for an input format (recorded).
std::vector<uint8_t> CompressedFormat(HIC hic, std::vector<uint8_t>& input, Transcript* transcript);
// The room a compressed frame of the two formats needs.
size_t LargestCompressedFrame(HIC hic, std::vector<uint8_t>& input, std::vector<uint8_t>& format);
// The format the codec chooses for decompressing `compressed` when the
// program asks for `bits`-bit RGB by filling in the output header first
// (recorded).
void AddFormatAskedFor(HIC hic, std::vector<uint8_t>& compressed, WORD bits, Transcript* transcript);
// The FourCC of a text of up to four characters.
DWORD CodecFourCC(const std::string& text);

#pragma once

#include <cstddef>
#include <cstdint>

// The test codec's lossless scheme: PackBits run-length coding of bytes. A
// control byte c < 128 is followed by c + 1 literal bytes; c > 128 repeats
// the next byte 257 - c times.

size_t PackBitsWorstCase(size_t inputSize);
size_t PackBitsEncode(const uint8_t* input, size_t inputSize, uint8_t* output);

// Returns the number of bytes written, or SIZE_MAX when the input is broken
// or would overflow `outputCapacity`.
size_t PackBitsDecode(const uint8_t* input, size_t inputSize, uint8_t* output, size_t outputCapacity);

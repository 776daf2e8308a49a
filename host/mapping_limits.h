#pragma once

// A mapping name, the derived frame-mapping names included, must fit 255
// characters and the terminator.
const int kMappingNameCapacity = 256;

// "FrameOut", the longer of the two suffixes of the frame mappings' names.
const int kFrameSuffixLength = 8;

// The longest control-mapping name a client may give.
const int kControlMappingNameLimit = kMappingNameCapacity - 1 - kFrameSuffixLength;

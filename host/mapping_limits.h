#pragma once

// A mapping name, the derived frame-mapping names included, must fit 255
// characters and the terminator.
const int kMappingNameCapacity = 256;

// The frame mappings are named after the control mapping with these suffixes.
const char kFrameInSuffix[] = "FrameIn";
const char kFrameOutSuffix[] = "FrameOut";

// The longer of the two suffixes.
const int kFrameSuffixLength = sizeof kFrameOutSuffix - 1;

// The longest control-mapping name a client may give.
const int kControlMappingNameLimit = kMappingNameCapacity - 1 - kFrameSuffixLength;

#pragma once

// The COM interfaces as C structs with their vtables: every file that
// includes this one defines CINTERFACE before any system header.
#ifndef CINTERFACE
#error "frame_source.h needs CINTERFACE defined before the first system header"
#endif

#include <dshow.h>

// A source filter of compressed video frames that a program pushes one by
// one, the way a demultiplexer feeds a decoder: one output pin with one
// media type, which takes the allocator of the pin it connects to and
// delivers each frame on the calling thread. The graph finds the pin with
// EnumPins; the caller connects it with the graph's ConnectDirect.

// A new filter with one reference; `largestFrame` is the room each sample
// needs. Null when memory runs out.
IBaseFilter* CreateFrameSource(const AM_MEDIA_TYPE* type, long largestFrame);

// Delivers one frame, stamped with its times, to the connected pin while
// the graph runs; the downstream pin's answer.
HRESULT DeliverFrame(IBaseFilter* source, const void* frame, long size, bool key, REFERENCE_TIME start,
                     REFERENCE_TIME stop);

// Tells the connected pin that no frame follows.
HRESULT DeliverEndOfStream(IBaseFilter* source);

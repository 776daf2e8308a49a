#pragma once

#include <windows.h>

#include <cstddef>
#include <cstdint>

// The driver's log: one line for each failure of a host and for each
// request that the driver or the host refused, so that a user can tell why
// a slot stopped serving or a program got an error the codec never gave.
// It is switched on in the settings file (GENERAL: iLog 1 and pcLogPath the
// file to append to), which the configuration tool keeps for the driver
// without using it; otherwise nothing is written. The switch is read with
// the slot's settings at the open (SlotOpenSettings), so that a refused
// message costs no read of the file.

const size_t kLogTextCapacity = 200;
const size_t kLogLineCapacity = kLogTextCapacity + 40;

// "YYYY-MM-DD hh:mm:ss tdlN <text>\r\n"; the text is cut to fit.
void FormatLogLine(const SYSTEMTIME& time, int slot, const char* text, char* line);

// What went wrong with a host while the driver was `doing` something: it
// ended on its own with `exitCode` (the codec-fault code named as such), or
// it gave no answer in time (STILL_ACTIVE) and the driver ended it.
void FormatHostFailure(const char* doing, DWORD exitCode, char* text);

// Why the driver refused a request whose headers or record do not fit.
const char kRefusedParamAreaFull[] = "the headers do not fit ParamArea";

// Why the host refused a request, for the reason it gives (HostRefusal);
// a text for any value.
const char* HostRefusalText(uint32_t reason);

// "message 0x400D refused by the host: <why>", for the program's message.
void FormatRefusal(UINT message, bool byHost, const char* why, char* text);

// Appends the line of `text` for the slot to `logPath`; an empty path is a
// log switched off. Failures to write are ignored: the log must never fail
// a request.
void LogDriverEvent(const char* logPath, int slot, const char* text);

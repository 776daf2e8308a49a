#include "fuzz_handover.h"

#include <windows.h>

#include <algorithm>
#include <cstring>
#include <string>

namespace {

enum Field { Slot, Mapping, Codec, Protocol, Whole };

struct Broken {
    const char* name;
    Field field;
    // The slot or mapping name as written; "+" stands for the own mapping's
    // name with a character more, "*" for a name without its end.
    const char* text;
};

const Broken kBroken[kHandoverKinds] = {
    {"valid", Whole, ""},
    {"slot past tdl9", Slot, "tdl10"},
    {"slot in capitals", Slot, "TDL3"},
    {"path to a slot", Slot, "..\\tdl3"},
    {"slot name without its end", Slot, "*"},
    {"no slot name", Slot, ""},
    {"mapping name without its end", Mapping, "*"},
    {"no mapping name", Mapping, ""},
    {"no such mapping", Mapping, "+"},
    {"another process's mapping", Mapping, nullptr},
    {"no codec", Codec, nullptr},
    {"codec not installed", Codec, "none"},
    {"protocol without reuse", Protocol, nullptr},
    {"random record", Whole, nullptr},
};

void PutText(char* field, size_t capacity, const std::string& text)
{
    std::memset(field, 0, capacity);
    std::memcpy(field, text.data(), std::min(text.size(), capacity));
}

std::string NameFor(const char* text, const char* own, size_t capacity)
{
    if (std::strcmp(text, "*") == 0)
        return std::string(capacity, 'n');
    return std::strcmp(text, "+") == 0 ? std::string(own) + "X" : text;
}

}

const char* HandoverName(uint32_t kind)
{
    return kind < kHandoverKinds ? kBroken[kind].name : "none";
}

uint32_t PutBrokenHandover(uint32_t kind, uint8_t* area, const HandoverMappings& mappings, uint32_t codec,
                           std::mt19937_64& rng)
{
    const Broken& broken = kBroken[kind];
    HostHandover record;
    PutText(record.slotName, sizeof record.slotName, "tdl" + std::to_string(rng() % 10));
    PutText(record.mappingName, sizeof record.mappingName, mappings.own);
    record.dwFcc = codec;
    uint32_t protocol = kHostProtocolVersion;
    if (broken.field == Slot)
        PutText(record.slotName, sizeof record.slotName, NameFor(broken.text, "", sizeof record.slotName));
    else if (broken.field == Mapping)
        PutText(record.mappingName, sizeof record.mappingName,
                broken.text == nullptr ? mappings.stranger
                                       : NameFor(broken.text, mappings.own, sizeof record.mappingName));
    else if (broken.field == Codec)
        record.dwFcc = broken.text == nullptr ? 0 : mmioFOURCC('n', 'o', 'n', 'e');
    else if (broken.field == Protocol)
        protocol = static_cast<uint32_t>(rng() % kReuseProtocolVersion);
    else
        for (size_t i = 0; i < sizeof record; ++i)
            reinterpret_cast<uint8_t*>(&record)[i] = static_cast<uint8_t>(rng());
    std::memcpy(area, &record, sizeof record);
    return protocol;
}

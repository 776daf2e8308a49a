#include "packbits.h"

#include <cstring>

size_t PackBitsWorstCase(size_t inputSize)
{
    return inputSize + (inputSize + 127) / 128;
}

size_t PackBitsEncode(const uint8_t* input, size_t inputSize, uint8_t* output)
{
    size_t in = 0;
    size_t out = 0;
    while (in < inputSize) {
        size_t run = 1;
        while (in + run < inputSize && run < 128 && input[in + run] == input[in])
            ++run;
        if (run >= 3) {
            output[out++] = static_cast<uint8_t>(257 - run);
            output[out++] = input[in];
            in += run;
            continue;
        }
        size_t literal = 0;
        while (in + literal < inputSize && literal < 128) {
            size_t next = in + literal;
            if (next + 2 < inputSize && input[next] == input[next + 1] && input[next] == input[next + 2])
                break;
            ++literal;
        }
        output[out++] = static_cast<uint8_t>(literal - 1);
        std::memcpy(output + out, input + in, literal);
        out += literal;
        in += literal;
    }
    return out;
}

size_t PackBitsDecode(const uint8_t* input, size_t inputSize, uint8_t* output, size_t outputCapacity)
{
    size_t in = 0;
    size_t out = 0;
    while (in < inputSize) {
        uint8_t control = input[in++];
        if (control < 128) {
            size_t count = static_cast<size_t>(control) + 1;
            if (in + count > inputSize || out + count > outputCapacity)
                return SIZE_MAX;
            std::memcpy(output + out, input + in, count);
            in += count;
            out += count;
        } else if (control > 128) {
            size_t count = 257 - static_cast<size_t>(control);
            if (in >= inputSize || out + count > outputCapacity)
                return SIZE_MAX;
            std::memset(output + out, input[in++], count);
            out += count;
        }
    }
    return out;
}

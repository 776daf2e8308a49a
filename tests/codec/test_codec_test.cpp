#include <windows.h>

#include <gtest/gtest.h>

#include <vector>

#include "packbits.h"

namespace {

std::vector<uint8_t> Frame(size_t size, int seed)
{
    std::vector<uint8_t> frame(size);
    for (size_t i = 0; i < size; ++i)
        frame[i] = static_cast<uint8_t>((i / 7 % 3 == 0) ? seed : (i * 31 + seed) >> (i % 5));
    return frame;
}

}

TEST(PackBitsTest, RoundTripsRunsLiteralsAndEdges)
{
    for (size_t size : {0u, 1u, 2u, 3u, 127u, 128u, 129u, 300u, 5000u}) {
        for (int seed : {0, 1, 2}) {
            std::vector<uint8_t> input = seed == 0 ? std::vector<uint8_t>(size, 9) : Frame(size, seed);
            std::vector<uint8_t> packed(PackBitsWorstCase(size));
            size_t packedSize = PackBitsEncode(input.data(), size, packed.data());
            ASSERT_LE(packedSize, packed.size());
            std::vector<uint8_t> output(size + 1);
            ASSERT_EQ(size, PackBitsDecode(packed.data(), packedSize, output.data(), size)) << size;
            output.resize(size);
            EXPECT_EQ(input, output);
        }
    }
    const uint8_t broken[] = {5, 1, 2};
    uint8_t out[16];
    EXPECT_EQ(SIZE_MAX, PackBitsDecode(broken, sizeof broken, out, sizeof out));
}

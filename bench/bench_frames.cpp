#include "bench_frames.h"

#include "bitmap_header.h"

std::vector<uint8_t> BenchFrame(int index)
{
    std::vector<uint8_t> frame(kBenchFrameSize);
    int left = (index * 9) % (kBenchWidth - 120);
    int top = (index * 5) % (kBenchHeight - 90);
    for (int y = 0; y < kBenchHeight; ++y) {
        uint8_t* row = frame.data() + static_cast<size_t>(y) * kBenchWidth * 3;
        for (int x = 0; x < kBenchWidth; ++x) {
            uint8_t* pixel = row + x * 3;
            if (x >= left && x < left + 120 && y >= top && y < top + 90) {
                pixel[0] = pixel[1] = pixel[2] = 0xC0;
            } else if (y >= kBenchHeight * 3 / 4) {
                // A textured strip that does not pack.
                pixel[0] = static_cast<uint8_t>(x * 7 + y * 3 + index);
                pixel[1] = static_cast<uint8_t>(x * 3 + y * 5);
                pixel[2] = static_cast<uint8_t>(x + y * 11);
            } else {
                pixel[0] = pixel[1] = pixel[2] = static_cast<uint8_t>((x / 32 + y / 32) * 6);
            }
        }
    }
    return frame;
}

BITMAPINFOHEADER BenchInputHeader()
{
    return MakeHeader(kBenchWidth, kBenchHeight, 24, BI_RGB, kBenchFrameSize);
}

double BenchMicroseconds()
{
    LARGE_INTEGER count;
    LARGE_INTEGER frequency;
    QueryPerformanceCounter(&count);
    QueryPerformanceFrequency(&frequency);
    return 1e6 * static_cast<double>(count.QuadPart) / static_cast<double>(frequency.QuadPart);
}

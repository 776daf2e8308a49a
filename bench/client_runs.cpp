#include "bench/client_runs.h"

namespace {

// AVIFile's own reference count: each run starts and ends its use.
class AviFileLibrary {
public:
    AviFileLibrary() { AVIFileInit(); }
    AviFileLibrary(const AviFileLibrary&) = delete;
    AviFileLibrary& operator=(const AviFileLibrary&) = delete;
    ~AviFileLibrary() { AVIFileExit(); }
};

bool WriteFrames(PAVIFILE file, DWORD fccHandler, const BenchCase& bench,
                 const std::vector<std::vector<uint8_t>>& frames)
{
    const ClipSpec& clip = bench.clip;
    AVISTREAMINFOA info = {};
    info.fccType = streamtypeVIDEO;
    info.dwScale = 1;
    info.dwRate = 25;
    info.dwSuggestedBufferSize = ClipFrameSize(clip);
    SetRect(&info.rcFrame, 0, 0, clip.width, clip.height);
    PAVISTREAM raw = nullptr;
    if (AVIFileCreateStreamA(file, &raw, &info) != AVIERR_OK)
        return false;
    AVICOMPRESSOPTIONS options = {};
    options.fccType = streamtypeVIDEO;
    options.fccHandler = fccHandler;
    options.dwKeyFrameEvery = static_cast<DWORD>(clip.keyInterval);
    options.dwQuality = static_cast<DWORD>(ICQUALITY_DEFAULT);
    options.dwFlags = AVICOMPRESSF_KEYFRAMES | AVICOMPRESSF_VALID;
    PAVISTREAM compressed = nullptr;
    std::vector<uint8_t> format = ClipFormat(clip);
    bool written = AVIMakeCompressedStream(&compressed, raw, &options, nullptr) == AVIERR_OK
        && AVIStreamSetFormat(compressed, 0, format.data(), static_cast<LONG>(format.size())) == AVIERR_OK;
    for (size_t i = 0; written && i < frames.size(); ++i) {
        LONG samples = 0;
        written = AVIStreamWrite(compressed, static_cast<LONG>(i), 1, const_cast<uint8_t*>(frames[i].data()),
                                 static_cast<LONG>(frames[i].size()), 0, &samples, nullptr)
            == AVIERR_OK;
    }
    if (compressed != nullptr)
        AVIStreamRelease(compressed);
    AVIStreamRelease(raw);
    return written;
}

}

bool WriteAviClip(DWORD fccHandler, const BenchCase& bench, const std::vector<std::vector<uint8_t>>& frames,
                  const std::string& path)
{
    AviFileLibrary library;
    DeleteFileA(path.c_str());
    PAVIFILE file = nullptr;
    if (AVIFileOpenA(&file, path.c_str(), OF_CREATE | OF_WRITE, nullptr) != AVIERR_OK)
        return false;
    bool written = WriteFrames(file, fccHandler, bench, frames);
    return AVIFileRelease(file) == 0 && written;
}

bool ReadAviFacts(const std::string& path, uint64_t* bytes, int* keyFrames)
{
    WIN32_FILE_ATTRIBUTE_DATA attributes;
    if (!GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &attributes))
        return false;
    *bytes = (static_cast<uint64_t>(attributes.nFileSizeHigh) << 32) | attributes.nFileSizeLow;
    AviFileLibrary library;
    PAVIFILE file = nullptr;
    if (AVIFileOpenA(&file, path.c_str(), OF_READ, nullptr) != AVIERR_OK)
        return false;
    PAVISTREAM stream = nullptr;
    bool read = AVIFileGetStream(file, &stream, streamtypeVIDEO, 0) == AVIERR_OK;
    *keyFrames = 0;
    for (LONG i = 0; read && i < AVIStreamLength(stream); ++i)
        *keyFrames += AVIStreamIsKeyFrame(stream, i) ? 1 : 0;
    if (stream != nullptr)
        AVIStreamRelease(stream);
    AVIFileRelease(file);
    return read;
}

bool OpenFrameReader(const std::string& path)
{
    AviFileLibrary library;
    PAVIFILE file = nullptr;
    if (AVIFileOpenA(&file, path.c_str(), OF_READ, nullptr) != AVIERR_OK)
        return false;
    PAVISTREAM stream = nullptr;
    PGETFRAME frames = nullptr;
    if (AVIFileGetStream(file, &stream, streamtypeVIDEO, 0) == AVIERR_OK)
        frames = AVIStreamGetFrameOpen(stream, nullptr);
    if (frames != nullptr)
        AVIStreamGetFrameClose(frames);
    if (stream != nullptr)
        AVIStreamRelease(stream);
    AVIFileRelease(file);
    return frames != nullptr;
}

std::string BenchAviPath()
{
    char folder[MAX_PATH] = "";
    GetTempPathA(MAX_PATH, folder);
    return std::string(folder) + "tandrel-bench-" + std::to_string(GetCurrentProcessId()) + ".avi";
}

std::vector<std::vector<uint8_t>> ClipFrames(const ClipSpec& clip)
{
    std::vector<std::vector<uint8_t>> frames;
    for (int i = 0; i < clip.frames; ++i)
        frames.push_back(ClipFrame(clip, i));
    return frames;
}

SequenceSeries::SequenceSeries(const BenchCase& bench, const std::vector<std::vector<uint8_t>>& sources)
    : bench_(bench)
    , sources_(sources)
    , input_(ClipFormat(bench.clip))
{
}

SequenceSeries::~SequenceSeries()
{
    if (started_)
        ICSeqCompressFrameEnd(&vars_);
    if (vars_.hic != nullptr)
        ICClose(vars_.hic);
}

bool SequenceSeries::Open(DWORD fccHandler)
{
    vars_.cbSize = sizeof vars_;
    vars_.dwFlags = ICMF_COMPVARS_VALID;
    vars_.fccType = ICTYPE_VIDEO;
    vars_.fccHandler = fccHandler;
    vars_.lKey = bench_.clip.keyInterval;
    vars_.lQ = ICQUALITY_DEFAULT;
    vars_.hic = ICOpen(ICTYPE_VIDEO, fccHandler, ICMODE_COMPRESS);
    started_ = vars_.hic != nullptr
        && ICSeqCompressFrameStart(&vars_, reinterpret_cast<BITMAPINFO*>(input_.data()));
    return started_;
}

bool SequenceSeries::CompressNext()
{
    BOOL key = FALSE;
    LONG size = 0;
    const std::vector<uint8_t>& source = sources_[next_++ % sources_.size()];
    if (ICSeqCompressFrame(&vars_, 0, const_cast<uint8_t*>(source.data()), &key, &size) == nullptr)
        return false;
    bytes_ += size;
    frames_ += 1;
    return true;
}

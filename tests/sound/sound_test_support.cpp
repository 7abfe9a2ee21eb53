#include "tests/sound/sound_test_support.h"

#include <sys/resource.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>

#include "plotter/program_description.h"

namespace soundtest {

std::uint16_t Read16(const Bytes& bytes, std::size_t at) { return std::uint16_t(bytes.at(at) | (bytes.at(at + 1) << 8)); }

std::uint32_t Read32(const Bytes& bytes, std::size_t at) {
    return std::uint32_t(Read16(bytes, at)) | (std::uint32_t(Read16(bytes, at + 2)) << 16);
}

std::int16_t SampleAt(const Bytes& bytes, std::int64_t frame, int channel, std::size_t offset) {
    return std::int16_t(Read16(bytes, offset + std::size_t(frame) * 4 + std::size_t(channel) * 2));
}

Bytes DataOf(const Bytes& image) { return image.size() < 46 ? Bytes{} : Bytes(image.begin() + 46, image.end()); }

void SoundProgramTest::SetUp() {
    ProgramTest::SetUp();
    device = std::make_unique<AlsaCapture>(startDirectory->Path());
    device->UseCapturingDevice();
}

void SoundProgramTest::TearDown() {
    device.reset();
    ProgramTest::TearDown();
}

void SoundProgramTest::StartVartelo() {
    StartProgram(VarteloProgram(), false);
    ShowMainWindow();
}

Bytes SoundProgramTest::SoundFile() const { return ReadFileBytes(startDirectory->Path() / "Son.wav"); }

bool SoundProgramTest::SoundFileExists() const { return std::filesystem::exists(startDirectory->Path() / "Son.wav"); }

bool RunShortOfMemory(const std::function<void()>& play) {
    long pages = 0;
    if (std::FILE* statm = std::fopen("/proc/self/statm", "r")) {
        if (std::fscanf(statm, "%ld", &pages) != 1) pages = 0;
        std::fclose(statm);
    }
    rlimit previous;
    if (pages == 0 || getrlimit(RLIMIT_AS, &previous) != 0) return false;
    // What the process holds now and 256 MB more: enough for a redraw, not for the image.
    // Only the soft limit moves, so that it can be put back.
    rlimit bound = previous;
    bound.rlim_cur = rlim_t(pages) * rlim_t(sysconf(_SC_PAGESIZE)) + (rlim_t(256) << 20);
    if (previous.rlim_max != RLIM_INFINITY && bound.rlim_cur > previous.rlim_max) return false;
    if (setrlimit(RLIMIT_AS, &bound) != 0) return false;
    try {
        play();
    } catch (...) {
        setrlimit(RLIMIT_AS, &previous);
        throw;
    }
    return setrlimit(RLIMIT_AS, &previous) == 0;
}

}  // namespace soundtest

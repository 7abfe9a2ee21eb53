#include "tests/sound/sound_test_support.h"

#include <atomic>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <new>

#include "sound/vartelo_program.h"
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

namespace {

// While RunShortOfMemory runs, allocations of this many bytes or more fail.
std::atomic<std::size_t> refusedAllocationSize{SIZE_MAX};

}  // namespace

std::size_t RefusedAllocationSize() { return refusedAllocationSize.load(std::memory_order_relaxed); }

bool RunShortOfMemory(const std::function<void()>& play) {
    if (!LargeAllocationsCanBeRefused) return false;
    // A redraw needs far less; the image of an hour needs 635 MB.
    refusedAllocationSize = std::size_t(256) << 20;
    try {
        play();
    } catch (...) {
        refusedAllocationSize = SIZE_MAX;
        throw;
    }
    refusedAllocationSize = SIZE_MAX;
    return true;
}

}  // namespace soundtest

#if !SOUND_TEST_UNDER_ADDRESS_SANITIZER
// The test binary's allocation: the library's own (malloc, the new-handler), except that
// it refuses what RunShortOfMemory says. The library's other forms of new and every delete
// end in malloc and free as well.
void* operator new(std::size_t size) {
    if (size >= soundtest::RefusedAllocationSize()) throw std::bad_alloc();
    if (size == 0) size = 1;
    for (;;) {
        if (void* block = std::malloc(size)) return block;
        const std::new_handler handler = std::get_new_handler();
        if (!handler) throw std::bad_alloc();
        handler();
    }
}
#endif

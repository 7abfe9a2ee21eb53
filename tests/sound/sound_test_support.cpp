#include "tests/sound/sound_test_support.h"

#include <filesystem>

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

}  // namespace soundtest

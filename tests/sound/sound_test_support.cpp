#include "tests/sound/sound_test_support.h"

#include <sys/resource.h>
#include <sys/wait.h>
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

std::string SoundProgramTest::LastMessageShortOfMemory(const std::function<void()>& play) {
    int pipeEnds[2];
    if (pipe(pipeEnds) != 0) return "no pipe";
    const int before = messages.Count();
    const pid_t child = fork();
    if (child == 0) {
        close(pipeEnds[0]);
        long pages = 0;
        if (std::FILE* statm = std::fopen("/proc/self/statm", "r")) {
            if (std::fscanf(statm, "%ld", &pages) != 1) pages = 0;
            std::fclose(statm);
        }
        // What the process holds now and 256 MB more: enough for a redraw, not for the image.
        const rlim_t limit = rlim_t(pages) * rlim_t(sysconf(_SC_PAGESIZE)) + (rlim_t(256) << 20);
        const rlimit bound{limit, limit};
        if (pages == 0 || setrlimit(RLIMIT_AS, &bound) != 0) _exit(2);
        play();
        const std::string text = messages.Count() > before ? messages.Last().Text : std::string();
        const bool written = write(pipeEnds[1], text.data(), text.size()) == ssize_t(text.size());
        _exit(written ? 0 : 3);
    }
    close(pipeEnds[1]);
    std::string text;
    char buffer[256];
    for (ssize_t n; (n = read(pipeEnds[0], buffer, sizeof buffer)) > 0;) text.append(buffer, std::size_t(n));
    close(pipeEnds[0]);
    int status = 0;
    if (child < 0 || waitpid(child, &status, 0) != child) return "no child";
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) return "child ended with " + std::to_string(status);
    return text;
}

}  // namespace soundtest

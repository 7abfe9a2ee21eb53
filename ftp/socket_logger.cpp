#include "ftp/socket_logger.h"

#include <chrono>
#include <ctime>

#include "platform/messages/thread_services.h"

namespace {

void TwoDigits(std::string& out, int v) {
    out += static_cast<char>('0' + v / 10 % 10);
    out += static_cast<char>('0' + v % 10);
}

}  // namespace

std::string LogTimeStamp() {
    using namespace std::chrono;
    const auto now = system_clock::now();
    const std::time_t t = system_clock::to_time_t(now);
    const int ms = static_cast<int>(duration_cast<milliseconds>(now.time_since_epoch()).count() % 1000);
    std::tm local{};
    localtime_r(&t, &local);
    std::string s;
    TwoDigits(s, local.tm_hour);
    s += ':';
    TwoDigits(s, local.tm_min);
    s += ':';
    TwoDigits(s, local.tm_sec);
    s += ':';
    s += static_cast<char>('0' + ms / 100);
    TwoDigits(s, ms % 100);
    return s;
}

TSocketLogger::TSocketLogger() = default;

TSocketLogger::~TSocketLogger() {
    BeginDestruction();
    std::lock_guard<std::recursive_mutex> guard(FLock);
    CloseLogFile();
}

TLogOptions TSocketLogger::LogOptions() const {
    std::lock_guard<std::recursive_mutex> guard(FLock);
    return FLogOptions;
}

void TSocketLogger::SetLogOptions(TLogOptions Value) {
    std::lock_guard<std::recursive_mutex> guard(FLock);
    FLogOptions = Value;
}

TSocketLogEvent TSocketLogger::OnSocketLogEvent() const {
    std::lock_guard<std::recursive_mutex> guard(FLock);
    return FOnSocketLogEvent;
}

void TSocketLogger::SetOnSocketLogEvent(TSocketLogEvent Value) {
    std::lock_guard<std::recursive_mutex> guard(FLock);
    FOnSocketLogEvent = std::move(Value);
}

std::string TSocketLogger::LogFileName() const {
    std::lock_guard<std::recursive_mutex> guard(FLock);
    return FLogFileName;
}

void TSocketLogger::SetLogFileName(const std::string& Value) {
    std::lock_guard<std::recursive_mutex> guard(FLock);
    if (Value == FLogFileName) return;
    FLogFileName = Value;
    CloseLogFile();
}

TLogFileOption TSocketLogger::LogFileOption() const {
    std::lock_guard<std::recursive_mutex> guard(FLock);
    return FLogFileOption;
}

void TSocketLogger::SetLogFileOption(TLogFileOption Value) {
    std::lock_guard<std::recursive_mutex> guard(FLock);
    FLogFileOption = Value;
}

void TSocketLogger::CloseLogFile() noexcept {
    if (FLogFile) {
        std::fclose(FLogFile);
        FLogFile = nullptr;
    }
}

void TSocketLogger::OpenLogFile() {
    CloseLogFile();
    if (FLogFileName.empty()) throw ELoggerException("File name empty");
    // File names are the bytes of the text, as the file system takes them.
    const char* name = FLogFileName.c_str();
    if (std::FILE* probe = std::fopen(name, "rb")) {
        std::fclose(probe);
    } else {
        std::FILE* created = std::fopen(name, "wb");
        if (!created) throw ELoggerException("Cannot create file \"" + FLogFileName + "\"");
        std::fclose(created);
    }
    std::FILE* f = std::fopen(name, FLogFileOption == lfoOverwrite ? "w+b" : "r+b");
    if (!f) throw ELoggerException("Cannot open file \"" + FLogFileName + "\"");
    if (FLogFileOption == lfoAppend) std::fseek(f, 0, SEEK_END);
    FLogFile = f;
}

void TSocketLogger::DoDebugLog(TSocketComponent* Sender, TLogOption LogOption, const std::string& Msg) {
    std::lock_guard<std::recursive_mutex> guard(FLock);
    if (Destroying()) return;
    const bool stamp = FLogOptions.Contains(loAddStamp);
    auto line = [&] { return stamp ? LogTimeStamp() + " " + Msg : Msg; };
    if (FLogOptions.Contains(loDestEvent) && FOnSocketLogEvent)
        FOnSocketLogEvent(Sender, LogOption, line());
    if (FLogOptions.Contains(loDestOutDebug))
        OutputDebugStringA(line().c_str());
    if (FLogOptions.Contains(loDestFile)) {
        if (!FLogFile) OpenLogFile();
        const std::string text = line() + "\r\n";
        std::fwrite(text.data(), 1, text.size(), FLogFile);
        std::fflush(FLogFile);
    }
}

#pragma once
// An optional sink for the diagnostic lines of the socket layer. A socket or the FTP
// client that is given one hands it each line with its category; the logger sends it to
// the destinations chosen in LogOptions.
#include <cstdint>
#include <cstdio>
#include <functional>
#include <mutex>
#include <stdexcept>
#include <string>

#include "ftp/enum_set.h"
#include "ftp/socket_component.h"

enum TLogOption : std::uint8_t {
    loDestEvent, loDestFile, loDestOutDebug, loAddStamp,
    loWsockErr, loWsockInfo, loWsockDump,
    loSslErr, loSslInfo, loSslDump,
    loProtSpecErr, loProtSpecInfo, loProtSpecDump
};

using TLogOptions = TEnumSet<TLogOption, std::uint16_t>;

enum TLogFileOption : std::uint8_t { lfoAppend, lfoOverwrite };

class ELoggerException : public std::runtime_error {
public:
    explicit ELoggerException(const std::string& Msg) : std::runtime_error(Msg) {}
};

using TSocketLogEvent =
    std::function<void(TSocketComponent* Sender, TLogOption LogOption, const std::string& Msg)>;

class TSocketLogger : public TSocketComponent {
public:
    TSocketLogger();
    ~TSocketLogger() override;

    TLogOptions LogOptions() const;
    void SetLogOptions(TLogOptions Value);
    TSocketLogEvent OnSocketLogEvent() const;
    void SetOnSocketLogEvent(TSocketLogEvent Value);
    std::string LogFileName() const;
    // A name that differs (case-sensitively) closes the open file; the next line opens
    // the new one.
    void SetLogFileName(const std::string& Value);
    TLogFileOption LogFileOption() const;
    void SetLogFileOption(TLogFileOption Value);

    // Writes one line to every chosen destination.
    void DoDebugLog(TSocketComponent* Sender, TLogOption LogOption, const std::string& Msg);

private:
    void OpenLogFile();
    void CloseLogFile() noexcept;

    mutable std::recursive_mutex FLock;
    TLogOptions FLogOptions;
    TSocketLogEvent FOnSocketLogEvent;
    std::string FLogFileName;
    std::FILE* FLogFile = nullptr;
    TLogFileOption FLogFileOption = lfoAppend;
};

// The current local time as "hh:nn:ss:zzz".
std::string LogTimeStamp();

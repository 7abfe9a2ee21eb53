#pragma once
// Error texts of the socket layer and its exception class.
#include <stdexcept>
#include <string>

// The exception class of the whole socket layer; what() is the message (Windows-1252).
class ESocketException : public std::runtime_error {
public:
    explicit ESocketException(const std::string& Msg) : std::runtime_error(Msg) {}
};

// The description of a Windows Sockets error code ("Not a WinSock error" for others).
std::string SocketErrorText(int Code);

// SocketErrorText(Code) + " (#" + Code + ")", e.g. "Connection refused (#10061)".
std::string FormatSocketError(int Code);

// The platform's message for a system error code + " (#" + Code + ")".
std::string FormatSystemError(unsigned long Code);

// Decimal text of an integer (no locale involved).
std::string IntToStr(long long Value);

#include "ftp/name_resolution.h"

#include <cstring>
#include <limits>

#include "engine/text_helpers.h"
#include "ftp/socket_errors.h"
#include "ftp/winsock_binding.h"

namespace {

bool IsBlank(char Ch) {
    return Ch == ' ' || Ch == '\t';
}

}  // namespace

std::string AsciiLowerCase(std::string Text) {
    for (char& ch : Text)
        if (ch >= 'A' && ch <= 'Z') ch = static_cast<char>(ch - 'A' + 'a');
    return Text;
}

std::string TrimBlanks(const std::string& Text) {
    std::size_t first = 0;
    std::size_t last = Text.size();
    while (first < last && static_cast<unsigned char>(Text[first]) <= ' ') ++first;
    while (last > first && static_cast<unsigned char>(Text[last - 1]) <= ' ') --last;
    return Text.substr(first, last - first);
}

bool IsDottedIp(const std::string& Text) {
    std::size_t i = 0;
    const std::size_t n = Text.size();
    while (i < n && IsBlank(Text[i])) ++i;
    if (i < n && Text[i] == '.') return false;
    int dots = 0;
    int value = 0;
    for (; i < n; ++i) {
        const char ch = Text[i];
        if (IsDigit(ch)) {
            value = value * 10 + (ch - '0');
            if (value > 256) value = 256;  // already too large; no overflow
        } else if (ch == '.') {
            ++dots;
            if (dots > 3 || value > 255 || i + 1 >= n || !IsDigit(Text[i + 1])) return false;
            value = 0;
        } else {
            while (i < n && IsBlank(Text[i])) ++i;
            if (i >= n) break;
            return false;
        }
    }
    return dots == 3 && value <= 255;
}

std::int32_t ParseLeadingNumber(const std::string& Text) {
    std::size_t i = 0;
    while (i < Text.size() && IsBlank(Text[i])) ++i;
    std::int64_t value = 0;
    for (; i < Text.size() && IsDigit(Text[i]); ++i) {
        value = value * 10 + (Text[i] - '0');
        if (value > std::numeric_limits<std::int32_t>::max()) value = std::numeric_limits<std::int32_t>::max();
    }
    return static_cast<std::int32_t>(value);
}

ws::u_long ResolveHost(const std::string& InAddr) {
    if (InAddr.empty() || InAddr.size() > 256)
        throw ESocketException("Winsock Resolve Host: '" + InAddr + "' Invalid Hostname.");
    const std::string trimmed = TrimBlanks(InAddr);
    if (IsDottedIp(InAddr)) {
        const ws::u_long address = WSocket::inet_addr(trimmed.c_str());
        if (address == ws::INADDR_NONE && trimmed != "255.255.255.255")
            throw ESocketException("Winsock Resolve Host: '" + InAddr + "' Invalid IP address.");
        return address;
    }
    const ws::hostent* host = WSocket::gethostbyname(trimmed.c_str());
    if (!host || !host->h_addr_list || !host->h_addr_list[0])
        throw ESocketException("Winsock Resolve Host: Cannot convert host address '" + InAddr + "' - " +
                               FormatSocketError(WSocket::WSAGetLastError()));
    // The entry holds the address in network order: its bytes are kept as they are.
    ws::in_addr address{};
    std::memcpy(&address.s_addr, host->h_addr_list[0], sizeof address.s_addr);
    return address.s_addr;
}

ws::u_short ResolvePort(const std::string& Port, const std::string& Proto) {
    if (Port.empty() || Port.size() >= 32) throw ESocketException("Winsock Resolve Port: Invalid Port.");
    if (Proto.empty() || Proto.size() >= 32) throw ESocketException("Winsock Resolve Port: Invalid Proto.");
    if (IsDigit(Port[0])) {
        // A number beyond the 16 bits of a port is refused, never cut to 16 bits.
        const std::int32_t number = ParseLeadingNumber(Port);
        if (number > 65535) throw ESocketException("Winsock Resolve Port: Invalid Port.");
        return static_cast<ws::u_short>(number);
    }
    const std::string name = TrimBlanks(Port);
    const std::string proto = TrimBlanks(Proto);
    const ws::servent* service = WSocket::getservbyname(name.c_str(), proto.c_str());
    if (!service)
        throw ESocketException("Winsock Resolve Port: Cannot convert port '" + Port + "' - " +
                               FormatSocketError(WSocket::WSAGetLastError()));
    return WSocket::ntohs(static_cast<ws::u_short>(service->s_port));
}

std::int32_t ResolveProto(const std::string& Proto) {
    if (Proto.empty() || Proto.size() >= 32) throw ESocketException("Winsock Resolve Proto: Invalid Protocol.");
    if (IsDigit(Proto[0])) return ParseLeadingNumber(Proto);
    const std::string name = AsciiLowerCase(TrimBlanks(Proto));
    if (name == "tcp") return ws::IPPROTO_TCP;
    if (name == "udp") return ws::IPPROTO_UDP;
    if (name == "raw") return ws::IPPROTO_RAW;
    const ws::protoent* entry = WSocket::getprotobyname(name.c_str());
    if (!entry)
        throw ESocketException("Winsock Resolve Proto: Cannot convert protocol '" + Proto + "' - " +
                               FormatSocketError(WSocket::WSAGetLastError()));
    return entry->p_proto;
}

#pragma once
// Character classes of protocol texts (reply lines, addresses, port numbers): plain
// ASCII, whatever locale the process runs under.

// True for the decimal digits "0".."9".
inline constexpr bool IsDigit(char Ch) {
    return Ch >= '0' && Ch <= '9';
}

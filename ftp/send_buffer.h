#pragma once
// One block of a socket's send queue: a byte area written at its end and consumed from
// its start. When everything written has been consumed, the block starts over.
#include <cstdint>
#include <memory>

class TBuffer {
public:
    explicit TBuffer(std::int32_t Size);
    TBuffer(const TBuffer&) = delete;
    TBuffer& operator=(const TBuffer&) = delete;

    // A size of 0 or less becomes 1514. Keeps the bytes written so far; a size below
    // WriteCount is raised to WriteCount so that no written byte is lost.
    void SetCapacity(std::int32_t Size);
    // Copies as much of Data as fits; returns the count copied (0 when full).
    std::int32_t Write(const void* Data, std::int32_t Len);
    // The unconsumed bytes: their start and, in Len, their count (nullptr and 0 when empty).
    const char* Peek(std::int32_t& Len) const;
    // Consumes up to Len bytes; returns the count consumed.
    std::int32_t Remove(std::int32_t Len);

    std::int32_t Capacity() const { return FCapacity; }
    std::int32_t WriteCount() const { return FWriteCount; }
    std::int32_t ReadCount() const { return FReadCount; }

private:
    std::unique_ptr<char[]> FStorage;
    std::int32_t FCapacity = 0;
    std::int32_t FWriteCount = 0;
    std::int32_t FReadCount = 0;
};

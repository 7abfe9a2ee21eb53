#include "ftp/send_buffer.h"

#include <algorithm>
#include <cstring>

namespace {
constexpr std::int32_t kDefaultBlockSize = 1514;
}

TBuffer::TBuffer(std::int32_t Size) {
    SetCapacity(Size);
}

void TBuffer::SetCapacity(std::int32_t Size) {
    if (Size <= 0) Size = kDefaultBlockSize;
    if (Size == FCapacity) return;
    if (FWriteCount == FReadCount) {
        FWriteCount = FReadCount = 0;
        FStorage = std::make_unique<char[]>(static_cast<std::size_t>(Size));
    } else {
        Size = std::max(Size, FWriteCount);
        auto area = std::make_unique<char[]>(static_cast<std::size_t>(Size));
        std::memcpy(area.get(), FStorage.get(), static_cast<std::size_t>(FWriteCount));
        FStorage = std::move(area);
    }
    FCapacity = Size;
}

std::int32_t TBuffer::Write(const void* Data, std::int32_t Len) {
    if (!Data || Len <= 0) return 0;
    const std::int32_t n = std::min(Len, FCapacity - FWriteCount);
    if (n <= 0) return 0;
    std::memcpy(FStorage.get() + FWriteCount, Data, static_cast<std::size_t>(n));
    FWriteCount += n;
    return n;
}

const char* TBuffer::Peek(std::int32_t& Len) const {
    Len = FWriteCount - FReadCount;
    if (Len <= 0) {
        Len = 0;
        return nullptr;
    }
    return FStorage.get() + FReadCount;
}

std::int32_t TBuffer::Remove(std::int32_t Len) {
    if (Len <= 0) return 0;
    const std::int32_t n = std::min(Len, FWriteCount - FReadCount);
    FReadCount += n;
    if (FReadCount == FWriteCount) FReadCount = FWriteCount = 0;
    return n;
}

#include "engine/container/byte_block.h"

#include <cstdlib>
#include <cstring>
#include <new>
#include <utility>

ByteBlock::ByteBlock(std::span<const std::uint8_t> bytes) {
    if (!Resize(bytes.size()))
        throw std::bad_alloc();
    if (!bytes.empty())
        std::memcpy(data_, bytes.data(), bytes.size());
}

ByteBlock::ByteBlock(ByteBlock&& other) noexcept
    : data_(std::exchange(other.data_, nullptr)), size_(std::exchange(other.size_, 0)) {}

ByteBlock& ByteBlock::operator=(ByteBlock&& other) noexcept {
    if (this != &other) {
        Clear();
        data_ = std::exchange(other.data_, nullptr);
        size_ = std::exchange(other.size_, 0);
    }
    return *this;
}

ByteBlock::~ByteBlock() {
    Clear();
}

bool ByteBlock::Resize(std::size_t size) noexcept {
    void* moved = std::realloc(data_, size == 0 ? 1 : size);
    if (moved == nullptr) {
        if (size > size_)
            return false;
        // A block that does not shrink stays longer than its bytes, which harms nothing.
        size_ = size;
        return true;
    }
    data_ = static_cast<std::uint8_t*>(moved);
    size_ = size;
    return true;
}

void ByteBlock::Clear() noexcept {
    std::free(data_);
    data_ = nullptr;
    size_ = 0;
}

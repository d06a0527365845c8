#pragma once
// ByteBlock: bytes in one block of the C heap that grows and shrinks in place where the allocator
// can (a large block is remapped by the system, never copied), so that a large container is held
// once while its sections change. Move-only; used by one thread at a time.

#include <cstddef>
#include <cstdint>
#include <span>

class ByteBlock {
  public:
    ByteBlock() = default;
    // A block holding a copy of `bytes`. Throws std::bad_alloc when the memory cannot be had.
    explicit ByteBlock(std::span<const std::uint8_t> bytes);
    ByteBlock(ByteBlock&& other) noexcept;
    ByteBlock& operator=(ByteBlock&& other) noexcept;
    ByteBlock(const ByteBlock&) = delete;
    ByteBlock& operator=(const ByteBlock&) = delete;
    ~ByteBlock();

    std::uint8_t* data() { return data_; }
    const std::uint8_t* data() const { return data_; }
    std::size_t size() const { return size_; }
    bool empty() const { return size_ == 0; }
    operator std::span<const std::uint8_t>() const { return {data_, size_}; }

    // Makes the block `size` bytes long, keeping its first min(old, new) bytes; the bytes behind
    // them are not set. Growing gives false, with the block as it was, when the memory cannot be
    // had; shrinking always succeeds. Never throws.
    bool Resize(std::size_t size) noexcept;
    // Frees the block; it becomes empty.
    void Clear() noexcept;

  private:
    std::uint8_t* data_ = nullptr;
    std::size_t size_ = 0;
};

#pragma once
// A little-endian reader over a byte span with a sticky ok() flag: file
// formats read their records field by field through it. A read past the end
// yields zeros and clears ok() for good, so a reader may take a whole record
// and test once at the end; nothing is ever read outside the span.

#include <cstddef>
#include <cstdint>
#include <cstring>

class ByteReader {
public:
    ByteReader(const unsigned char* data, size_t size) : data_(data), size_(size) {}

    bool ok() const { return ok_; }
    size_t pos() const { return pos_; }
    size_t size() const { return size_; }
    size_t remaining() const { return size_ - pos_; }

    uint8_t u8()
    {
        if (!take(1))
            return 0;
        return data_[pos_ - 1];
    }
    uint16_t u16()
    {
        if (!take(2))
            return 0;
        const unsigned char* p = data_ + pos_ - 2;
        return static_cast<uint16_t>(p[0] | (p[1] << 8));
    }
    uint32_t u32()
    {
        if (!take(4))
            return 0;
        const unsigned char* p = data_ + pos_ - 4;
        return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) |
               (static_cast<uint32_t>(p[2]) << 16) | (static_cast<uint32_t>(p[3]) << 24);
    }
    int32_t i32() { return static_cast<int32_t>(u32()); }
    float f32()
    {
        uint32_t bits = u32();
        float f;
        std::memcpy(&f, &bits, sizeof f);
        return f;
    }
    // Copies n bytes; on a short span copies nothing and fails.
    bool bytes(void* out, size_t n)
    {
        if (!take(n))
            return false;
        std::memcpy(out, data_ + pos_ - n, n);
        return true;
    }
    bool skip(size_t n) { return take(n); }
    // Moves to an absolute offset within the span (the end is allowed).
    bool seek(size_t offset)
    {
        if (!ok_ || offset > size_)
            return fail();
        pos_ = offset;
        return true;
    }

private:
    bool take(size_t n)
    {
        if (!ok_ || n > size_ - pos_)
            return fail();
        pos_ += n;
        return true;
    }
    bool fail()
    {
        ok_ = false;
        return false;
    }

    const unsigned char* data_;
    size_t size_;
    size_t pos_ = 0;
    bool ok_ = true;
};

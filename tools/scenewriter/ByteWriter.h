#pragma once
// Appends little-endian fields to a byte vector: the writing side of the
// scene format, field by field, as the reader takes it apart.

#include "math/Quaternion.h"
#include "math/Vec3.h"

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

class ByteWriter {
public:
    explicit ByteWriter(std::vector<unsigned char>& out) : out(out) {}

    void u8(uint8_t v) { out.push_back(v); }
    void u32(uint32_t v)
    {
        out.push_back(uint8_t(v));
        out.push_back(uint8_t(v >> 8));
        out.push_back(uint8_t(v >> 16));
        out.push_back(uint8_t(v >> 24));
    }
    void i32(int32_t v) { u32(uint32_t(v)); }
    void f32(float v)
    {
        uint32_t bits;
        std::memcpy(&bits, &v, sizeof bits);
        u32(bits);
    }
    void vec3(const Vec3& v)
    {
        f32(v.x);
        f32(v.y);
        f32(v.z);
    }
    void quaternion(const Quaternion& q)
    {
        f32(q.x);
        f32(q.y);
        f32(q.z);
        f32(q.w);
    }
    // A fixed-size text field: the text, cut to size - 1 bytes, then zeros.
    void text(const std::string& s, int size)
    {
        size_t n = s.size() < size_t(size - 1) ? s.size() : size_t(size - 1);
        out.insert(out.end(), s.begin(), s.begin() + long(n));
        out.insert(out.end(), size_t(size) - n, 0);
    }
    void zeros(int n) { out.insert(out.end(), size_t(n), 0); }
    void bytes(const std::vector<unsigned char>& b) { out.insert(out.end(), b.begin(), b.end()); }

    size_t size() const { return out.size(); }

private:
    std::vector<unsigned char>& out;
};

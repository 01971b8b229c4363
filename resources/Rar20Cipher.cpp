#include "resources/Rar20Cipher.h"

#include "resources/ArchiveFormat.h"
#include "resources/Crc32.h"

#include <cassert>
#include <cstring>

namespace {

uint32_t rotl(uint32_t x, unsigned n)
{
    return (x << n) | (x >> (32 - n));
}

uint32_t load32(const unsigned char* p)
{
    return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 | static_cast<uint32_t>(p[2]) << 16 |
           static_cast<uint32_t>(p[3]) << 24;
}

void store32(unsigned char* p, uint32_t v)
{
    p[0] = static_cast<unsigned char>(v);
    p[1] = static_cast<unsigned char>(v >> 8);
    p[2] = static_cast<unsigned char>(v >> 16);
    p[3] = static_cast<unsigned char>(v >> 24);
}

// Compilers may drop a plain memset of memory that is not read again; the
// empty asm that may read the memory keeps it (and is cheaper than storing
// the 4 KiB of tables through a volatile pointer byte by byte).
void secureZero(void* p, size_t n)
{
    std::memset(p, 0, n);
    __asm__ __volatile__("" : : "r"(p) : "memory");
}

} // namespace

Rar20Cipher::Rar20Cipher()
{
    wipe();
}

Rar20Cipher::~Rar20Cipher()
{
    wipe();
}

void Rar20Cipher::wipe()
{
    secureZero(key_, sizeof key_);
    secureZero(initialKey_, sizeof initialKey_);
    secureZero(table_, sizeof table_);
    secureZero(lanes_, sizeof lanes_);
}

// The derivation's some 100000 table swaps depend on the password alone,
// never on archive bytes, and index the 256-entry table modulo 256: fuzzing
// learns nothing from tracing them, and address checks on every swap made the
// derivation a fifth of the archive fuzz target's time.
#if defined(__clang__)
__attribute__((no_sanitize("address", "coverage")))
#endif
void Rar20Cipher::setKey(const char* password)
{
    const uint32_t* crc = crc32Table();
    std::memcpy(key_, archive::kCipherInitialKey, sizeof key_);
    std::memcpy(table_, archive::kCipherInitialTable, sizeof table_);

    // The password in a zeroed block: an odd length pairs its last byte with
    // the NUL, and the final encryption pass pads with zeros.
    unsigned char block[archive::kPasswordBlock] = {};
    size_t length = std::strlen(password);
    if (length > archive::kMaxPasswordLength)
        length = archive::kMaxPasswordLength;
    std::memcpy(block, password, length);

    for (unsigned j = 0; j < 256; ++j) {
        for (size_t i = 0; i < length; i += 2) {
            unsigned n1 = crc[(block[i] - j) & 0xFF] & 0xFF;
            unsigned n2 = crc[(block[i + 1] + j) & 0xFF] & 0xFF;
            for (unsigned k = 1; n1 != n2; n1 = (n1 + 1) & 0xFF, ++k) {
                unsigned char& a = table_[n1];
                unsigned char& b = table_[(n1 + i + k) & 0xFF];
                unsigned char t = a;
                a = b;
                b = t;
            }
        }
    }
    buildWordTables();
    for (size_t i = 0; i < length; i += archive::kCipherBlock)
        encryptBlock(block + i);
    secureZero(block, sizeof block);
    std::memcpy(initialKey_, key_, sizeof key_);
}

void Rar20Cipher::restart()
{
    std::memcpy(key_, initialKey_, sizeof key_);
}

void Rar20Cipher::buildWordTables()
{
    for (unsigned i = 0; i < 256; ++i)
        for (unsigned lane = 0; lane < 4; ++lane)
            lanes_[lane][i] = static_cast<uint32_t>(table_[i]) << (8 * lane);
}

uint32_t Rar20Cipher::substitute(uint32_t w) const
{
    return lanes_[0][w & 0xFF] | lanes_[1][(w >> 8) & 0xFF] | lanes_[2][(w >> 16) & 0xFF] | lanes_[3][w >> 24];
}

void Rar20Cipher::updateKeys(const unsigned char* block)
{
    const uint32_t* crc = crc32Table();
    for (size_t i = 0; i < archive::kCipherBlock; i += 4) {
        key_[0] ^= crc[block[i]];
        key_[1] ^= crc[block[i + 1]];
        key_[2] ^= crc[block[i + 2]];
        key_[3] ^= crc[block[i + 3]];
    }
}

void Rar20Cipher::encryptBlock(unsigned char* buf)
{
    uint32_t a = load32(buf) ^ key_[0], b = load32(buf + 4) ^ key_[1];
    uint32_t c = load32(buf + 8) ^ key_[2], d = load32(buf + 12) ^ key_[3];
    for (unsigned i = 0; i < archive::kCipherRounds; ++i) {
        uint32_t k = key_[i & 3];
        uint32_t ta = a ^ substitute((c + rotl(d, 11)) ^ k);
        uint32_t tb = b ^ substitute((d ^ rotl(c, 17)) + k);
        a = c;
        b = d;
        c = ta;
        d = tb;
    }
    store32(buf, c ^ key_[0]);
    store32(buf + 4, d ^ key_[1]);
    store32(buf + 8, a ^ key_[2]);
    store32(buf + 12, b ^ key_[3]);
    updateKeys(buf);
}

void Rar20Cipher::decryptBlock(unsigned char* buf)
{
    unsigned char cipherText[archive::kCipherBlock];
    std::memcpy(cipherText, buf, sizeof cipherText);
    uint32_t a = load32(buf) ^ key_[0], b = load32(buf + 4) ^ key_[1];
    uint32_t c = load32(buf + 8) ^ key_[2], d = load32(buf + 12) ^ key_[3];
    for (int i = archive::kCipherRounds - 1; i >= 0; --i) {
        uint32_t k = key_[i & 3];
        uint32_t ta = a ^ substitute((c + rotl(d, 11)) ^ k);
        uint32_t tb = b ^ substitute((d ^ rotl(c, 17)) + k);
        a = c;
        b = d;
        c = ta;
        d = tb;
    }
    store32(buf, c ^ key_[0]);
    store32(buf + 4, d ^ key_[1]);
    store32(buf + 8, a ^ key_[2]);
    store32(buf + 12, b ^ key_[3]);
    updateKeys(cipherText);
}

void Rar20Cipher::decrypt(unsigned char* data, size_t size)
{
    assert(size % archive::kCipherBlock == 0);
    for (size_t i = 0; i + archive::kCipherBlock <= size; i += archive::kCipherBlock)
        decryptBlock(data + i);
}

void Rar20Cipher::encrypt(unsigned char* data, size_t size)
{
    assert(size % archive::kCipherBlock == 0);
    for (size_t i = 0; i + archive::kCipherBlock <= size; i += archive::kCipherBlock)
        encryptBlock(data + i);
}

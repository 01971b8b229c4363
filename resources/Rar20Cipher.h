#pragma once
// The RAR 2.0 cipher: a 32-round Feistel network over 16-byte blocks with a
// password-keyed byte substitution, whose four key words change after every
// block with the CRC-32 table entries of that block's ciphertext. Each
// encrypted member starts from a fresh key set-up with the password.

#include <cstddef>
#include <cstdint>

class Rar20Cipher {
public:
    Rar20Cipher();
    ~Rar20Cipher(); // wipes the key material

    Rar20Cipher(const Rar20Cipher&) = delete;
    Rar20Cipher& operator=(const Rar20Cipher&) = delete;

    // Derives the substitution table and key words from the password (its
    // first kMaxPasswordLength bytes).
    void setKey(const char* password);

    // Back to the state setKey left, for the next member with the same
    // password: the derivation runs 256 rounds over the password and is
    // worth doing once per archive, not once per member.
    void restart();

    // Works in place on whole 16-byte blocks; `size` must be a multiple of 16.
    void decrypt(unsigned char* data, size_t size);
    void encrypt(unsigned char* data, size_t size);

    // Overwrites the key words and the table with zeros.
    void wipe();

private:
    void encryptBlock(unsigned char* block);
    void decryptBlock(unsigned char* block);
    void updateKeys(const unsigned char* block);
    uint32_t substitute(uint32_t word) const;

    void buildWordTables();

    uint32_t key_[4];
    uint32_t initialKey_[4]; // key_ as setKey left it; the table never changes after it
    unsigned char table_[256];
    // table_ spread over the four byte lanes of a word, so that a word is
    // substituted with four lookups and no shifts.
    uint32_t lanes_[4][256];
};

#pragma once
// Huffman code construction for the packer: code lengths from symbol counts,
// limited to the format's 15 bits, and the canonical codes that the reader's
// decoder assigns to those lengths (shorter codes first, then by symbol).

#include <cstdint>

// Lengths for n symbols from their counts (0 = unused). A single used symbol
// gets a 1-bit code. maxBits is at most 15.
void huffmanLengths(const uint32_t* counts, unsigned n, unsigned maxBits, unsigned char* lengths);

// Canonical codes for the lengths, most significant bit first.
void huffmanCodes(const unsigned char* lengths, unsigned n, uint16_t* codes);

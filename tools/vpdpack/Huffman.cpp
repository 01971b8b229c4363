#include "Huffman.h"

#include <algorithm>
#include <cassert>
#include <queue>
#include <vector>

namespace {

// Depths of a plain Huffman tree over the used symbols.
void treeDepths(const std::vector<uint64_t>& weights, std::vector<unsigned>& depths)
{
    size_t n = weights.size();
    std::vector<int> parent(2 * n, -1);
    using Node = std::pair<uint64_t, int>; // weight, index; ties to the lower index
    std::priority_queue<Node, std::vector<Node>, std::greater<Node>> heap;
    for (size_t i = 0; i < n; ++i)
        heap.push({weights[i], static_cast<int>(i)});
    int next = static_cast<int>(n);
    while (heap.size() > 1) {
        Node a = heap.top();
        heap.pop();
        Node b = heap.top();
        heap.pop();
        parent[a.second] = next;
        parent[b.second] = next;
        heap.push({a.first + b.first, next});
        ++next;
    }
    depths.assign(n, 0);
    for (size_t i = 0; i < n; ++i) {
        unsigned d = 0;
        for (int p = parent[i]; p != -1; p = parent[p])
            ++d;
        depths[i] = d;
    }
}

} // namespace

void huffmanLengths(const uint32_t* counts, unsigned n, unsigned maxBits, unsigned char* lengths)
{
    assert(maxBits >= 1 && maxBits <= 15);
    std::vector<unsigned> used;
    for (unsigned i = 0; i < n; ++i) {
        lengths[i] = 0;
        if (counts[i])
            used.push_back(i);
    }
    if (used.empty())
        return;
    if (used.size() == 1) {
        lengths[used[0]] = 1;
        return;
    }
    std::vector<uint64_t> weights(used.size());
    for (size_t i = 0; i < used.size(); ++i)
        weights[i] = counts[used[i]];
    std::vector<unsigned> depths;
    // Flattening the weights until the tree fits loses little: it only
    // happens for very skewed counts.
    for (;;) {
        treeDepths(weights, depths);
        if (*std::max_element(depths.begin(), depths.end()) <= maxBits)
            break;
        for (uint64_t& w : weights)
            w = (w + 1) / 2;
    }
    for (size_t i = 0; i < used.size(); ++i)
        lengths[used[i]] = static_cast<unsigned char>(depths[i]);
}

void huffmanCodes(const unsigned char* lengths, unsigned n, uint16_t* codes)
{
    unsigned count[16] = {};
    for (unsigned i = 0; i < n; ++i)
        ++count[lengths[i] & 15];
    count[0] = 0;
    unsigned next[16] = {};
    unsigned code = 0;
    for (unsigned len = 1; len <= 15; ++len) {
        code = (code + count[len - 1]) << 1;
        next[len] = code;
    }
    for (unsigned i = 0; i < n; ++i)
        codes[i] = lengths[i] ? static_cast<uint16_t>(next[lengths[i]]++) : 0;
}

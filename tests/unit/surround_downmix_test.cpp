#include "platform/SurroundDownmix.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

// Which side each channel of a Vorbis layout is heard on: 'L', 'R', 'B'oth,
// or '-' for none (the LFE).
TEST(SurroundDownmix, EachVorbisChannelIsHeardOnItsSide)
{
    const struct {
        int channels;
        const char* sides;
    } layouts[] = {
        {1, "B"},        {2, "LR"},        {3, "LBR"},       {4, "LRLR"},
        {5, "LBRLR"},    {6, "LBRLR-"},    {7, "LBRLRB-"},   {8, "LBRLRLR-"},
    };
    for (const auto& layout : layouts) {
        std::string heard;
        for (int c = 0; c < layout.channels; ++c) {
            std::vector<int16_t> frame(layout.channels, 0);
            frame[c] = 20000;
            int16_t out[2] = {0, 0};
            platform::downmixVorbisChannels(frame.data(), layout.channels, 1, out, 2);
            heard += out[0] > 0 && out[1] > 0 ? 'B' : out[0] > 0 ? 'L' : out[1] > 0 ? 'R' : '-';
            if (out[0] > 0 && out[1] > 0) {
                EXPECT_EQ(out[0], out[1]) << layout.channels << " channels, channel " << c;
            }
        }
        EXPECT_EQ(heard, layout.sides) << layout.channels << " channels";
    }
    // Full scale on every channel does not wrap around.
    std::vector<int16_t> loud(6, -32768);
    int16_t out[2] = {0, 0};
    platform::downmixVorbisChannels(loud.data(), 6, 1, out, 2);
    EXPECT_LT(out[0], -30000);
    EXPECT_LT(out[1], -30000);
}

#include "gl/GLExtensions.h"
#include "platform/WglExtensionList.h"

#include <gtest/gtest.h>

TEST(ExtensionList, MatchesWholeWordsOnly)
{
    const char* list = "GL_A\nGL_AB";
    EXPECT_TRUE(listContainsWord(list, "GL_AB"));
    EXPECT_TRUE(listContainsWord(list, "GL_A"));
    EXPECT_FALSE(listContainsWord(list, "GL_"));
    EXPECT_FALSE(listContainsWord(list, "GL_ABC"));
    EXPECT_FALSE(listContainsWord(list, "GL_B"));
    EXPECT_FALSE(listContainsWord(list, ""));
    EXPECT_FALSE(listContainsWord(nullptr, "GL_A"));
    // A trailing separator and a last word without one both work.
    EXPECT_TRUE(listContainsWord("GL_X\nGL_Y\n", "GL_Y"));
    EXPECT_TRUE(listContainsWord("GL_X\nGL_Y", "GL_Y"));
}

TEST(ExtensionList, EmulatedWglNamesFollowTheCapabilities)
{
    WglCapabilities none;
    EXPECT_EQ(buildWglExtensionList(none, nullptr),
              "WGL_ARB_extensions_string WGL_EXT_extensions_string WGL_ARB_make_current_read");

    WglCapabilities all;
    all.framebufferObjects = all.multisampleVisuals = all.depthAttachments = true;
    EXPECT_EQ(buildWglExtensionList(all, ""),
              "WGL_ARB_extensions_string WGL_EXT_extensions_string WGL_ARB_pbuffer "
              "WGL_ARB_render_texture WGL_ARB_pixel_format WGL_ARB_multisample "
              "WGL_NV_render_depth_texture WGL_ARB_make_current_read");

    // Depth binding needs framebuffer objects too.
    WglCapabilities depthOnly;
    depthOnly.depthAttachments = true;
    EXPECT_EQ(buildWglExtensionList(depthOnly, nullptr).find("WGL_NV_render_depth_texture"), std::string::npos);
}

TEST(ExtensionList, HiddenNamesAreDroppedByWholeWord)
{
    WglCapabilities all;
    all.framebufferObjects = all.multisampleVisuals = all.depthAttachments = true;
    std::string list = buildWglExtensionList(all, "  WGL_ARB_pbuffer WGL_ARB_multisample WGL_ARB_pixel ");
    EXPECT_EQ(list.find("WGL_ARB_pbuffer"), std::string::npos);
    EXPECT_EQ(list.find("WGL_ARB_multisample"), std::string::npos);
    EXPECT_NE(list.find("WGL_ARB_pixel_format"), std::string::npos);
    EXPECT_NE(list.find("WGL_ARB_render_texture"), std::string::npos);
}

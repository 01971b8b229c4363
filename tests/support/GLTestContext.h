#pragma once
// A hidden window with a current GL context and the extensions loaded, for GL
// tests. One per test process (each test case runs in its own process).

#include "gl/GLExtensions.h"
#include "platform/GLWindow.h"

#include <gtest/gtest.h>

class GLTest : public ::testing::Test {
protected:
    static constexpr int kWidth = 320;
    static constexpr int kHeight = 240;

    void SetUp() override
    {
        ASSERT_TRUE(platform::initVideo());
        WindowStyle style;
        style.hidden = true;
        ASSERT_TRUE(platform::createWindow("gl test", kWidth, kHeight, style));
        ASSERT_TRUE(platform::createContext());
        ASSERT_TRUE(platform::makeWindowContextCurrent());
        initExtensions();
        glViewport(0, 0, kWidth, kHeight);
    }

    void TearDown() override
    {
        freeExtensions();
        platform::destroyContext();
        platform::destroyWindow();
    }
};

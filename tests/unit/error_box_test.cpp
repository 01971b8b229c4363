#include "gl/ErrorBox.h"

#include "app/CapabilityCheck.h"

#include <gtest/gtest.h>

#include <string>

TEST(ErrorBox, FatalBoxesEndTheProcessWithCodeOneAndTheExactText)
{
    EXPECT_EXIT(errorBox("could not init sound", true), ::testing::ExitedWithCode(1),
                "^error: could not init sound\n$");
    EXPECT_EXIT(errorBoxInt("script: event not recognized in setup line #", 12, true),
                ::testing::ExitedWithCode(1), "error: script: event not recognized in setup line #: 12\n");
    EXPECT_EXIT(errorBoxStr("could not load scene", "data/a.vsc", true), ::testing::ExitedWithCode(1),
                "error: could not load scene: data/a.vsc\n");
}

TEST(ErrorBox, NonFatalBoxesReturnAndPrintNegativeNumbers)
{
    testing::internal::CaptureStderr();
    errorBoxInt("effectId to high", -5, false);
    warnAboutTextureUnits(2);
    warnAboutTextureUnits(3);
    std::string err = testing::internal::GetCapturedStderr();
    EXPECT_EQ(err, "warning: effectId to high: -5\n"
                   "warning: Warning: Your gfxcard does not support enough (3) texture units to run "
                   "this application properly. Some features will be disabled: -1\n");
}

TEST(ErrorBox, LongTextsAreCutAt199Characters)
{
    std::string longText(500, 'x');
    testing::internal::CaptureStderr();
    errorBoxStr(longText.c_str(), "tail", false);
    std::string err = testing::internal::GetCapturedStderr();
    EXPECT_EQ(err, "warning: " + std::string(199, 'x') + "\n");
}

TEST(ErrorBox, GlErrorNames)
{
    const struct {
        unsigned code;
        const char* name;
    } cases[] = {
        {0x0500, "GL_INVALID_ENUM"},     {0x0501, "GL_INVALID_VALUE"},  {0x0502, "GL_INVALID_OPERATION"},
        {0x0503, "GL_STACK_OVERFLOW"},   {0x0504, "GL_STACK_UNDERFLOW"}, {0x0505, "GL_OUT_OF_MEMORY"},
        {0x0506, "Unknown error"},       {0x04FF, "Unknown error"},
    };
    for (const auto& c : cases)
        EXPECT_STREQ(glErrorName(c.code), c.name) << c.code;
}

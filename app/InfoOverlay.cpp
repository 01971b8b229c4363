#include "app/InfoOverlay.h"

#include "engine/EffectManager.h"
#include "gl/GLExtensions.h"

#include <cstring>

void InfoOverlay::draw(int windowWidth, int windowHeight, int demoTimeMs, const FrameTimeWindow& times)
{
    // Twice the font's size from 720 rows up, so it stays legible fullscreen.
    const float scale = windowHeight >= 720 ? 2.0f : 1.0f;
    const float lineHeight = OverlayFont::kCellHeight * scale;
    int maxLines = static_cast<int>((windowHeight - 8) / lineHeight);
    if (maxLines > kOverlayMaxLines)
        maxLines = kOverlayMaxLines;
    const float pad = 4.0f;
    const int columns = static_cast<int>((windowWidth - pad * 2) / (OverlayFont::kCellWidth * scale));
    const int shown = wrapOverlayNotice(notice.c_str(), columns, lines, maxLines < kNoticeLines ? maxLines : kNoticeLines);
    count = shown + buildOverlayText(demoTimeMs, times, *EffectManager::instance(), lines + shown, maxLines - shown);
    size_t widest = 0;
    for (int i = 0; i < count; ++i) {
        size_t len = std::strlen(lines[i]);
        if (len > widest)
            widest = len;
    }

    glPushAttrib(GL_ALL_ATTRIB_BITS);
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glLoadIdentity();
    glOrtho(0.0, windowWidth, windowHeight, 0.0, -1.0, 1.0);
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glLoadIdentity();
    glMatrixMode(GL_TEXTURE);
    glPushMatrix();
    glLoadIdentity();

    // Only unit 0 textures the text, whatever units the demo left enabled.
    const int units = glext::glActiveTextureARB ? getMaxTextureUnits() : 1;
    for (int u = units - 1; u >= 0; --u) {
        if (glext::glActiveTextureARB)
            glext::glActiveTextureARB(GL_TEXTURE0_ARB + u);
        glDisable(GL_TEXTURE_1D);
        glDisable(GL_TEXTURE_2D);
        glDisable(GL_TEXTURE_3D);
        glDisable(GL_TEXTURE_CUBE_MAP);
        glDisable(GL_TEXTURE_GEN_S);
        glDisable(GL_TEXTURE_GEN_T);
        glDisable(GL_TEXTURE_GEN_R);
        glDisable(GL_TEXTURE_GEN_Q);
    }
    glViewport(0, 0, windowWidth, windowHeight);
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_LIGHTING);
    glDisable(GL_FOG);
    glDisable(GL_CULL_FACE);
    glDisable(GL_ALPHA_TEST);
    glDisable(GL_STENCIL_TEST);
    glDisable(GL_SCISSOR_TEST);
    glDisable(GL_COLOR_MATERIAL);
    glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
    glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);

    glColor4f(0.0f, 0.0f, 0.0f, 0.7f);
    glBegin(GL_QUADS);
    glVertex2f(0.0f, 0.0f);
    glVertex2f(pad * 2 + widest * OverlayFont::kCellWidth * scale, 0.0f);
    glVertex2f(pad * 2 + widest * OverlayFont::kCellWidth * scale, pad * 2 + count * lineHeight);
    glVertex2f(0.0f, pad * 2 + count * lineHeight);
    glEnd();

    glEnable(GL_TEXTURE_2D);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
    glColor4f(1.0f, 1.0f, 0.6f, 1.0f);
    for (int i = 0; i < count; ++i)
        font.draw(lines[i], pad, pad + i * lineHeight, scale);
    glBindTexture(GL_TEXTURE_2D, 0);

    glMatrixMode(GL_TEXTURE);
    glPopMatrix();
    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    glMatrixMode(GL_MODELVIEW);
    glPopMatrix();
    glPopAttrib();
}

#pragma once
// Counts of the GL objects alive in the current context's share group, found
// by asking GL about each name rather than by our own bookkeeping, so that a
// texture or framebuffer someone forgot to delete is counted too. A scan costs
// a few thousand queries: for health records, not for every frame.

int liveGLTextures();
// Names alive of any kind of object, asked with its glIs* entry point.
using IsGLName = unsigned char (*)(unsigned);
int liveGLNames(IsGLName isName);
// Framebuffers of the current context (they are not shared); -1 without the
// framebuffer entry points.
int liveGLFramebuffers();
// Renderbuffers of the share group; -1 without the framebuffer entry points.
int liveGLRenderbuffers();
// Occlusion queries of the current context (they are not shared); -1 without
// the occlusion query entry points.
int liveGLQueries();

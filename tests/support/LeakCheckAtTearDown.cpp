// Leak checks every test process makes.
//
// Heap: in the sanitizer build, every test process looks for leaks when its
// tests are done, before exit handlers start taking the GL driver's and SDL's
// threads apart: the leak checker's thread walk can fault on a thread that is
// half gone (seen as "Tracer caught signal 11" after a passing test). The
// check then does not run again at exit.
//
// GL objects: the driver frees whatever is left in a context when the
// context goes, so a texture, framebuffer, renderbuffer, buffer, query or
// display list we forgot to delete never shows as a heap leak. Every context
// the process deletes is therefore asked first which of those names are
// still alive; any left fails the test that deleted it, or the process when
// the context goes at exit. A context that shares its objects with another
// one still alive is not asked: the objects live on in the other.

#include "gl/LiveGLObjects.h"

#include <SDL.h>
#include <SDL_opengl.h>
#include <dlfcn.h>
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#if defined(__has_feature)
#if __has_feature(address_sanitizer) || __has_feature(leak_sanitizer)
#define VP_LEAK_CHECK 1
#endif
#endif

#ifdef VP_LEAK_CHECK
#include <sanitizer/lsan_interface.h>
#endif

namespace {

#ifdef VP_LEAK_CHECK
class LeakCheckAtTearDown : public ::testing::Environment {
public:
    void TearDown() override { __lsan_do_leak_check(); }
};

const auto* const registered = ::testing::AddGlobalTestEnvironment(new LeakCheckAtTearDown);
#endif

struct ContextSeen {
    SDL_GLContext context = nullptr;
    SDL_Window* window = nullptr; // it was made for, to make it current again
    bool sharing = false;         // made sharing the objects of another context
};
ContextSeen contexts[16];

ContextSeen* seen(SDL_GLContext context)
{
    for (ContextSeen& c : contexts)
        if (c.context == context)
            return &c;
    return nullptr;
}

std::string liveObjectsOfCurrentContext()
{
    std::string found;
    const auto add = [&found](const char* kind, const char* isName) {
        auto entry = reinterpret_cast<IsGLName>(SDL_GL_GetProcAddress(isName));
        const int count = entry ? liveGLNames(entry) : 0;
        if (count > 0)
            found += " " + std::to_string(count) + " " + kind;
    };
    add("textures", "glIsTexture");
    add("framebuffers", "glIsFramebuffer");
    add("renderbuffers", "glIsRenderbuffer");
    add("buffers", "glIsBufferARB");
    add("queries", "glIsQueryARB");
    add("display lists", "glIsList");
    return found;
}

using CreateContextFn = SDL_GLContext (*)(SDL_Window*);
using DeleteContextFn = void (*)(SDL_GLContext);

template <typename Fn>
Fn nextDefinition(const char* name)
{
    return reinterpret_cast<Fn>(dlsym(RTLD_NEXT, name));
}

} // namespace

// These stand in for SDL's own in the test executables: the engine's calls
// reach them first, and they hand on to SDL.
extern "C" SDL_GLContext SDL_GL_CreateContext(SDL_Window* window)
{
    static const auto next = nextDefinition<CreateContextFn>("SDL_GL_CreateContext");
    int share = 0;
    SDL_GL_GetAttribute(SDL_GL_SHARE_WITH_CURRENT_CONTEXT, &share);
    const bool sharing = share != 0 && SDL_GL_GetCurrentContext() != nullptr;
    SDL_GLContext context = next(window);
    if (ContextSeen* slot = context ? seen(nullptr) : nullptr)
        *slot = ContextSeen{context, window, sharing};
    return context;
}

extern "C" void SDL_GL_DeleteContext(SDL_GLContext context)
{
    static const auto next = nextDefinition<DeleteContextFn>("SDL_GL_DeleteContext");
    ContextSeen* slot = context ? seen(context) : nullptr;
    if (!slot) {
        next(context);
        return;
    }
    // Only the last context of a share group owns what is left in it.
    std::string live;
    if (!slot->sharing) {
        SDL_Window* window = SDL_GL_GetCurrentWindow();
        SDL_GLContext current = SDL_GL_GetCurrentContext();
        if (SDL_GL_MakeCurrent(slot->window, context) == 0) {
            live = liveObjectsOfCurrentContext();
            if (current && current != context)
                SDL_GL_MakeCurrent(window, current);
            else
                SDL_GL_MakeCurrent(slot->window, nullptr);
        }
    }
    *slot = ContextSeen{};
    next(context);
    if (live.empty())
        return;
    const std::string message = "GL objects left alive when their context was deleted:" + live;
    if (::testing::UnitTest::GetInstance()->current_test_info()) {
        ADD_FAILURE() << message;
    } else {
        std::fprintf(stderr, "error: %s\n", message.c_str());
        std::_Exit(1);
    }
}

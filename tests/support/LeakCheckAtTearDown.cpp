// In the sanitizer build, every test process looks for leaks when its tests
// are done, before exit handlers start taking the GL driver's and SDL's
// threads apart: the leak checker's thread walk can fault on a thread that is
// half gone (seen as "Tracer caught signal 11" after a passing test). The
// check then does not run again at exit.

#include <gtest/gtest.h>

#if defined(__has_feature)
#if __has_feature(address_sanitizer) || __has_feature(leak_sanitizer)
#define VP_LEAK_CHECK 1
#endif
#endif

#ifdef VP_LEAK_CHECK
#include <sanitizer/lsan_interface.h>

namespace {

class LeakCheckAtTearDown : public ::testing::Environment {
public:
    void TearDown() override { __lsan_do_leak_check(); }
};

const auto* const registered = ::testing::AddGlobalTestEnvironment(new LeakCheckAtTearDown);

} // namespace
#endif

// Linked into the release player only (app/CMakeLists.txt). Debian's static
// SDL2 calls libsamplerate directly, yet only when SDL_AUDIO_RESAMPLING_MODE
// asks for it; by default SDL resamples on its own. These stand-ins take
// libsamplerate's place and refuse every request, so a release need not ship
// its 1.5 MB of filter tables: with the hint set, SDL reports the failure.
struct SRC_STATE;
struct SRC_DATA;

extern "C" {

SRC_STATE* src_new(int, int, int* error)
{
    if (error)
        *error = 1;
    return nullptr;
}

SRC_STATE* src_delete(SRC_STATE*)
{
    return nullptr;
}

int src_process(SRC_STATE*, SRC_DATA*)
{
    return 1;
}

int src_reset(SRC_STATE*)
{
    return 1;
}

int src_simple(SRC_DATA*, int, int)
{
    return 1;
}

const char* src_strerror(int)
{
    return "libsamplerate is not part of this release";
}

} // extern "C"

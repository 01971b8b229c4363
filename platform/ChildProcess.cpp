#include "platform/ChildProcess.h"

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace platform {

namespace {
constexpr int kPassedFd = 3;
}

std::string selfExecutable()
{
    char path[4096];
    ssize_t n = readlink("/proc/self/exe", path, sizeof path - 1);
    if (n <= 0)
        return std::string();
    return std::string(path, static_cast<size_t>(n));
}

int runCapturingOutput(const std::vector<std::string>& argv, std::string& output,
                       const std::vector<std::string>& environment, int passFd)
{
    output.clear();
    if (argv.empty())
        return -1;
    int fds[2] = {-1, -1};
    if (pipe2(fds, O_CLOEXEC) != 0)
        return -1;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_adddup2(&actions, fds[1], 1);
    posix_spawn_file_actions_adddup2(&actions, fds[1], 2);
    if (passFd >= 0)
        posix_spawn_file_actions_adddup2(&actions, passFd, kPassedFd);
    std::vector<char*> args;
    for (const std::string& a : argv)
        args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);
    std::vector<char*> env;
    for (char** e = environ; *e; ++e) {
        const char* equals = std::strchr(*e, '=');
        const size_t nameLength = equals ? static_cast<size_t>(equals - *e) + 1 : std::strlen(*e);
        bool replaced = false;
        for (const std::string& extra : environment)
            replaced = replaced || extra.compare(0, nameLength, *e, nameLength) == 0;
        if (!replaced)
            env.push_back(*e);
    }
    for (const std::string& extra : environment)
        env.push_back(const_cast<char*>(extra.c_str()));
    env.push_back(nullptr);
    pid_t child = -1;
    int rc = posix_spawn(&child, argv[0].c_str(), &actions, nullptr, args.data(), env.data());
    posix_spawn_file_actions_destroy(&actions);
    close(fds[1]);
    if (rc != 0) {
        close(fds[0]);
        return -1;
    }
    char buffer[4096];
    for (;;) {
        ssize_t n = read(fds[0], buffer, sizeof buffer);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            break;
        output.append(buffer, static_cast<size_t>(n));
    }
    close(fds[0]);
    int status = 0;
    while (waitpid(child, &status, 0) < 0 && errno == EINTR) {
    }
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

std::string findExecutable(const char* name)
{
    if (std::strchr(name, '/'))
        return access(name, X_OK) == 0 ? std::string(name) : std::string();
    const char* path = std::getenv("PATH");
    if (!path)
        return std::string();
    std::string candidate;
    for (const char* p = path;; ++p) {
        const char* end = std::strchr(p, ':');
        size_t len = end ? static_cast<size_t>(end - p) : std::strlen(p);
        candidate.assign(p, len);
        if (candidate.empty())
            candidate = ".";
        candidate += '/';
        candidate += name;
        if (access(candidate.c_str(), X_OK) == 0)
            return candidate;
        if (!end)
            break;
        p = end;
    }
    return std::string();
}

ChildProcess::~ChildProcess()
{
    finish();
}

bool ChildProcess::start(const std::vector<std::string>& argv, bool feedInput)
{
    if (pid > 0 || argv.empty())
        return false;
    std::string program = findExecutable(argv[0].c_str());
    if (program.empty())
        return false;

    // A helper that dies must not take the player with it through SIGPIPE;
    // write() sees EPIPE instead.
    std::signal(SIGPIPE, SIG_IGN);

    int fds[2] = {-1, -1};
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    if (feedInput) {
        if (pipe2(fds, O_CLOEXEC) != 0) {
            posix_spawn_file_actions_destroy(&actions);
            return false;
        }
        // A roomy pipe lets the writer run ahead of the reader by most of a
        // frame instead of by 64 KiB (the size is a hint: unprivileged
        // processes may be held to less).
        fcntl(fds[1], F_SETPIPE_SZ, 1 << 20);
        posix_spawn_file_actions_adddup2(&actions, fds[0], 0);
    } else {
        posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    }

    std::vector<char*> args;
    args.reserve(argv.size() + 1);
    for (const std::string& a : argv)
        args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);

    // A process group of its own: Ctrl+C in the terminal interrupts the
    // player, which then ends the helper's input in order, instead of killing
    // the encoder under a half-written file.
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETPGROUP);
    posix_spawnattr_setpgroup(&attributes, 0);
    pid_t child = -1;
    int rc = posix_spawn(&child, program.c_str(), &actions, &attributes, args.data(), environ);
    posix_spawnattr_destroy(&attributes);
    posix_spawn_file_actions_destroy(&actions);
    if (feedInput)
        close(fds[0]);
    if (rc != 0) {
        if (feedInput)
            close(fds[1]);
        return false;
    }
    pid = child;
    inputFd = feedInput ? fds[1] : -1;
    return true;
}

bool ChildProcess::write(const void* data, size_t bytes)
{
    if (inputFd < 0)
        return false;
    const char* p = static_cast<const char*>(data);
    while (bytes > 0) {
        ssize_t n = ::write(inputFd, p, bytes);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        p += n;
        bytes -= static_cast<size_t>(n);
    }
    return true;
}

bool ChildProcess::finish()
{
    if (inputFd >= 0) {
        close(inputFd);
        inputFd = -1;
    }
    if (pid <= 0)
        return false;
    int status = 0;
    pid_t r;
    do {
        r = waitpid(pid, &status, 0);
    } while (r < 0 && errno == EINTR);
    pid = -1;
    return r > 0 && WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

} // namespace platform

#pragma once
// A helper program started with a pipe on its standard input (the video
// encoder for capture). Its standard output and error stay the player's, so
// its own messages reach the terminal.
//
// Owned by whoever started it; the destructor closes the pipe and waits.

#include <cstddef>
#include <string>
#include <vector>

namespace platform {

// The full path of an executable found through PATH; empty when none is.
std::string findExecutable(const char* name);

// The running program's own file.
std::string selfExecutable();

// Runs argv[0] (a path) with the rest as arguments to its end, its standard
// output and error collected in `output`. Its exit code; -1 when it could
// not be started or did not exit normally. `environment`: "NAME=value"
// entries set for it on top of the player's own; `passFd`: a descriptor of
// the player's that it gets as its descriptor 3 (-1 for none).
int runCapturingOutput(const std::vector<std::string>& argv, std::string& output,
                       const std::vector<std::string>& environment = {}, int passFd = -1);

class ChildProcess {
public:
    ChildProcess() = default;
    ~ChildProcess();
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    // Starts argv[0] (looked up through PATH) with the rest as arguments.
    // With feedInput, its standard input is a pipe that write() fills;
    // otherwise it reads nothing. False when it cannot be started.
    bool start(const std::vector<std::string>& argv, bool feedInput);
    // Writes all bytes to the pipe. False once the program has gone away
    // (a broken pipe is reported here, never as a signal).
    bool write(const void* data, size_t bytes);
    // Closes the pipe and waits for the program; true when it exited with 0.
    bool finish();
    bool running() const { return pid > 0; }

private:
    int pid = -1;
    int inputFd = -1; // write end of the child's standard input
};

} // namespace platform

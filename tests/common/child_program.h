// Starts a program under test as a shell would, with its standard output and standard
// error on descriptors the test reads.
#ifndef PORTBENCH_TESTS_COMMON_CHILD_PROGRAM_H
#define PORTBENCH_TESTS_COMMON_CHILD_PROGRAM_H

#include <string>
#include <vector>

#include <sys/types.h>
#include <unistd.h>

namespace childtest {

// Zero-terminated pointers to `texts`, as execve takes them.
inline std::vector<char*> Pointers(std::vector<std::string>& texts) {
    std::vector<char*> pointers;
    for (std::string& text : texts)
        pointers.push_back(text.data());
    pointers.push_back(nullptr);
    return pointers;
}

// This process's environment, one "NAME=value" a text.
inline std::vector<std::string> OwnEnvironment() {
    std::vector<std::string> environment;
    for (char** entry = environ; *entry; ++entry)
        environment.push_back(*entry);
    return environment;
}

// Runs `args[0]` with `args` and `environment`, its standard output on `out` and its
// standard error on `err`; closes both here once the child has them. Everything is
// made ready before the fork: other threads run in this process, so the child only
// rewires its streams, runs `inChild` (calls that are safe after a fork only) and
// starts the program. Returns the child's process id (-1 when the fork failed).
template <typename InChild>
pid_t StartProgram(std::vector<std::string> args, std::vector<std::string> environment, int out,
                   int err, InChild inChild) {
    std::vector<char*> argv = Pointers(args), envp = Pointers(environment);
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::dup2(out, 1);
        ::dup2(err, 2);
        inChild();
        ::execve(argv[0], argv.data(), envp.data());
        ::_exit(127);
    }
    ::close(out);
    ::close(err);
    return pid;
}

inline pid_t StartProgram(std::vector<std::string> args, int out, int err) {
    return StartProgram(std::move(args), OwnEnvironment(), out, err, [] {});
}

} // namespace childtest

#endif

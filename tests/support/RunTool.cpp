#include "support/RunTool.h"

#include "support/MagBuilder.h"

#include <cerrno>
#include <cstdlib>
#include <sstream>
#include <stdexcept>

#include <fcntl.h>
#include <pty.h>
#include <sys/wait.h>
#include <unistd.h>

namespace magtest {
namespace {

std::vector<char*> argvOf(const std::string& program, const std::vector<std::string>& args)
{
    std::vector<char*> argv;
    argv.push_back(const_cast<char*>(program.c_str()));
    for (const std::string& a : args)
        argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    return argv;
}

// Runs in the forked child, where only async-signal-safe calls belong.
void redirect(const char* path, int flags, int fd)
{
    const int opened = ::open(path, flags, 0644);
    if (opened < 0 || ::dup2(opened, fd) < 0)
        ::_exit(127);
    ::close(opened);
}

int statusOf(pid_t pid)
{
    int raw = 0;
    while (::waitpid(pid, &raw, 0) < 0) {
        if (errno != EINTR)
            return -1;
    }
    return WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
}

std::string textOf(const std::string& path)
{
    const Bytes bytes = readFile(path);
    return std::string(bytes.begin(), bytes.end());
}

}  // namespace

ToolResult runProgram(const std::string& program, const std::vector<std::string>& args, const std::string& input,
                      const std::string& directory)
{
    TempDir capture;
    const std::string out = capture.path("out");
    const std::string err = capture.path("err");
    const std::string in = input.empty() ? "/dev/null" : input;
    std::vector<char*> argv = argvOf(program, args);
    const pid_t pid = ::fork();
    if (pid < 0)
        throw std::runtime_error("fork failed");
    if (pid == 0) {
        redirect(in.c_str(), O_RDONLY, STDIN_FILENO);
        redirect(out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, STDOUT_FILENO);
        redirect(err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, STDERR_FILENO);
        if (!directory.empty() && ::chdir(directory.c_str()) != 0)
            ::_exit(127);
        ::execv(program.c_str(), argv.data());
        ::_exit(127);
    }
    ToolResult result;
    result.status = statusOf(pid);
    result.out = textOf(out);
    result.err = textOf(err);
    return result;
}

ToolResult runProgramOnTerminal(const std::string& program, const std::vector<std::string>& args)
{
    std::vector<char*> argv = argvOf(program, args);
    int master = -1;
    const pid_t pid = ::forkpty(&master, nullptr, nullptr, nullptr);
    if (pid < 0)
        throw std::runtime_error("forkpty failed");
    if (pid == 0) {
        ::execv(program.c_str(), argv.data());
        ::_exit(127);
    }
    ToolResult result;
    char buffer[4096];
    for (;;) {
        const ssize_t n = ::read(master, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)  // EIO once the program has closed the terminal
            break;
        result.out.append(buffer, static_cast<std::size_t>(n));
    }
    ::close(master);
    result.status = statusOf(pid);
    return result;
}

std::vector<std::string> linesOf(const std::string& text)
{
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    return lines;
}

}  // namespace magtest

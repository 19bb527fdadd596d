// The real program, started as a process on the offscreen platform and
// worked from the keyboard by a driver plugin: how it ends.

#include "support/MagBuilder.h"

#include <gtest/gtest.h>

#include <chrono>
#include <fcntl.h>
#include <filesystem>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace {

struct Outcome {
    bool exited = false;
    int code = -1;
    std::string output;
};

// Runs the program in `folder` with the driver acting out `script`, and
// waits for it to end (at most 60 seconds, then it is killed).
Outcome runProgram(const std::string& script, const std::vector<std::string>& arguments, const std::string& folder)
{
    const std::string outputFile = folder + "/../driver-output.txt";
    std::vector<std::string> environment;
    for (char** e = environ; *e != nullptr; ++e)
        environment.emplace_back(*e);
    environment.push_back("QT_QPA_PLATFORM=offscreen");
    environment.push_back("QT_PLUGIN_PATH=" LUNIDOR_DRIVER_PLUGINS);
    environment.push_back("QT_QPA_GENERIC_PLUGINS=lunidordriver:" + script);

    std::vector<std::string> argv{LUNIDOR_PROGRAM};
    argv.insert(argv.end(), arguments.begin(), arguments.end());
    std::vector<char*> argvPointers, envPointers;
    for (std::string& a : argv)
        argvPointers.push_back(a.data());
    argvPointers.push_back(nullptr);
    for (std::string& e : environment)
        envPointers.push_back(e.data());
    envPointers.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addchdir_np(&actions, folder.c_str());
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, outputFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    pid_t pid = 0;
    const int spawned = posix_spawn(&pid, LUNIDOR_PROGRAM, &actions, nullptr, argvPointers.data(), envPointers.data());
    posix_spawn_file_actions_destroy(&actions);
    Outcome outcome;
    if (spawned != 0)
        return outcome;

    int status = 0;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    while (waitpid(pid, &status, WNOHANG) == 0) {
        if (std::chrono::steady_clock::now() > deadline) {
            kill(pid, SIGKILL);
            waitpid(pid, &status, 0);
            break;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    outcome.exited = WIFEXITED(status);
    outcome.code = outcome.exited ? WEXITSTATUS(status) : -1;
    const magtest::Bytes output = magtest::readFile(outputFile);
    outcome.output.assign(output.begin(), output.end());
    return outcome;
}

struct EndingCase {
    const char* name;
    const char* script;
    std::vector<std::string> arguments;
};

class ProgramEnding : public testing::TestWithParam<EndingCase> {};

TEST_P(ProgramEnding, OpensTitledLunidorThenEndsWithCodeZeroAndWritesNothing)
{
    const EndingCase& c = GetParam();
    magtest::TempDir temp;
    const std::string folder = temp.path("cwd");
    std::filesystem::create_directory(folder);

    const Outcome outcome = runProgram(c.script, c.arguments, folder);

    EXPECT_TRUE(outcome.exited);
    EXPECT_EQ(outcome.code, 0) << outcome.output;
    EXPECT_EQ(outcome.output, "title=Lunidor\n");
    EXPECT_TRUE(std::filesystem::is_empty(folder));
}

INSTANTIATE_TEST_SUITE_P(
    Program, ProgramEnding,
    testing::Values(EndingCase{"file_exit", "exit", {}}, EndingCase{"close_box", "close", {}},
                    EndingCase{"arguments_ignored", "exit", {"picture.mag", "-platform", "xcb", "--help"}}),
    [](const testing::TestParamInfo<EndingCase>& row) { return std::string(row.param.name); });

}  // namespace

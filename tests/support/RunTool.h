#pragma once

// Runs a program as a user would and collects what it said.

#include <string>
#include <vector>

namespace magtest {

struct ToolResult {
    int status = -1;  // exit status; -1 when it did not exit normally
    std::string out;
    std::string err;
};

// Runs program with args; stdin comes from the file `input` (empty: none),
// and it runs in `directory` (empty: the test's own).
ToolResult runProgram(const std::string& program, const std::vector<std::string>& args,
                      const std::string& input = {}, const std::string& directory = {});

// Runs it on a pseudo-terminal, as if in a terminal window; stdout and
// stderr both arrive in `out`.
ToolResult runProgramOnTerminal(const std::string& program, const std::vector<std::string>& args);

// Lines of text without their line ends.
std::vector<std::string> linesOf(const std::string& text);

}  // namespace magtest

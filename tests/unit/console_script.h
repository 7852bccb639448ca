// Console seams of the unit tests: one capture of what a user would see, and one scripted reader
// that gives each question its next answer and fails the test on a question it did not expect.
#ifndef ZAV_TESTS_UNIT_CONSOLE_SCRIPT_H
#define ZAV_TESTS_UNIT_CONSOLE_SCRIPT_H

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "cli/zavcli_cmd_com.h"
#include "common/dll_mod.h"

namespace testconsole {

inline std::string &Output()
{
    static std::string text;
    return text;
}

inline std::vector<std::string> &Answers()
{
    static std::vector<std::string> answers;
    return answers;
}

inline size_t &NextAnswer()
{
    static size_t next = 0;
    return next;
}

inline void CaptureConsole(const char *text, unsigned length)
{
    Output().append(text, length);
}

inline int ScriptedReader(char *line, unsigned size)
{
    if (NextAnswer() >= Answers().size()) {
        ADD_FAILURE() << "unexpected prompt; console so far:\n" << Output();
        return 0;
    }
    std::snprintf(line, size, "%s\n", Answers()[NextAnswer()++].c_str());
    return 1;
}

// Empties the capture and the script and installs both seams.
inline void Start()
{
    Output().clear();
    Answers().clear();
    NextAnswer() = 0;
    SetConsoleWriter(CaptureConsole);
    SetConsoleReader(ScriptedReader);
}

// Restores the real console; fails the test when answers were left unread.
inline void Stop()
{
    EXPECT_EQ(NextAnswer(), Answers().size()) << "answers left unread";
    SetConsoleWriter(nullptr);
    SetConsoleReader(nullptr);
}

} // namespace testconsole

#endif

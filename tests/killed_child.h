// Runs a step in a child process that the file layer kills before its nth
// file change, as the end of the process at any moment would: the tests of
// the steps that must leave every record in one place after any kill use it
// in a loop over n until the step finishes.
#pragma once

#include "store/file_handle.h"

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <functional>

// True when the child was killed; false once the step finished without
// being killed (a step that throws is a failure).
inline bool KilledBeforeFileChange(int n, const std::function<void()>& step) {
    const pid_t child = fork();
    if (child == 0) {
        kesp::store::KillBeforeFileChangeForTests(n);
        try {
            step();
        } catch (...) {
            _exit(3);
        }
        _exit(0);
    }
    int status = 0;
    waitpid(child, &status, 0);
    if (WIFSIGNALED(status)) return true;
    EXPECT_EQ(WEXITSTATUS(status), 0) << "file change " << n;
    return false;
}

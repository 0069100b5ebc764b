#include "support/Unprivileged.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include <grp.h>
#include <pwd.h>
#include <sys/wait.h>
#include <unistd.h>

#include "support/TempDir.h"

namespace fs = std::filesystem;

namespace {

std::string CurrentTestName() {
    const ::testing::TestInfo* test = ::testing::UnitTest::GetInstance()->current_test_info();
    return std::string(test->test_suite_name()) + "." + test->name();
}

// Runs program with args as user; returns its exit status and gathers its output.
int RunAs(const passwd& user, const fs::path& program, const std::vector<std::string>& args,
          std::string* output) {
    std::vector<char*> argv;
    argv.push_back(const_cast<char*>(program.c_str()));
    for (const std::string& arg : args) argv.push_back(const_cast<char*>(arg.c_str()));
    argv.push_back(nullptr);
    // A report file asked of the test run is the parent's to write; the child could not.
    std::vector<char*> envp;
    for (char** entry = environ; *entry != nullptr; ++entry) {
        const std::string_view text(*entry);
        if (!text.starts_with("GTEST_OUTPUT=") && !text.starts_with("XML_OUTPUT_FILE="))
            envp.push_back(*entry);
    }
    envp.push_back(nullptr);
    int pipe_ends[2];
    if (::pipe(pipe_ends) != 0) {
        *output = std::string("pipe: ") + std::strerror(errno);
        return -1;
    }
    const pid_t child = ::fork();
    if (child == 0) {
        // Only calls that are safe between fork and exec: the parent may run other threads.
        ::dup2(pipe_ends[1], STDOUT_FILENO);
        ::dup2(pipe_ends[1], STDERR_FILENO);
        ::close(pipe_ends[0]);
        ::close(pipe_ends[1]);
        if (::chdir("/") != 0 || ::setgroups(0, nullptr) != 0 || ::setgid(user.pw_gid) != 0 ||
            ::setuid(user.pw_uid) != 0 || ::geteuid() == 0) {
            ::_exit(126);
        }
        ::execve(argv[0], argv.data(), envp.data());
        ::_exit(127);
    }
    ::close(pipe_ends[1]);
    if (child < 0) {
        ::close(pipe_ends[0]);
        *output = std::string("fork: ") + std::strerror(errno);
        return -1;
    }
    char buffer[4096];
    ssize_t got;
    while ((got = ::read(pipe_ends[0], buffer, sizeof buffer)) > 0 || (got < 0 && errno == EINTR)) {
        if (got > 0)
            output->append(buffer, static_cast<std::size_t>(got));
    }
    ::close(pipe_ends[0]);
    int status = 0;
    while (::waitpid(child, &status, 0) < 0 && errno == EINTR) {
    }
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

}  // namespace

bool RanAsAnUnprivilegedUser() {
    if (::geteuid() != 0)
        return false;
    const passwd* nobody = ::getpwnam("nobody");
    if (nobody == nullptr || nobody->pw_uid == 0) {
        ADD_FAILURE() << "there is no unprivileged user \"nobody\" to run this test as";
        return true;
    }
    // The build folder may lie where that user cannot reach (under /root), so the test program
    // goes along in a copy of its own; the test programs link their libraries statically.
    TempDir copy;
    fs::permissions(copy.path(), fs::perms::owner_all | fs::perms::group_read |
                                     fs::perms::group_exec | fs::perms::others_read |
                                     fs::perms::others_exec);
    const fs::path program = copy.path() / "tests";
    fs::copy_file("/proc/self/exe", program);
    const std::string name = CurrentTestName();
    std::string output;
    const int status = RunAs(*nobody, program, {"--gtest_filter=" + name}, &output);
    // A filter that matched nothing would pass too; the test's own line says it ran.
    const bool passed = status == 0 && output.find("[       OK ] " + name) != std::string::npos;
    EXPECT_TRUE(passed) << "as the user \"nobody\" the test ended with status " << status << ":\n"
                        << output;
    return true;
}

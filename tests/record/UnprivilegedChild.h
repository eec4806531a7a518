// Runs part of a table file test as a user without privileges, in a child process:
// root passes every permission check, and the tests run as root in CI, so a save to a
// file or folder the user may not write is only shown so.
#pragma once

#include <filesystem>
#include <functional>
#include <grp.h>
#include <pwd.h>
#include <string>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace valdrin::testing {

struct ChildOutcome {
    bool ran = false;   // false: no unprivileged user could be taken on (why says why)
    std::string why;    // empty when the check passed, else what went wrong
};

// Run as root, folder and everything in it is given to "nobody" (unless giveFolder
// is false: the test made them another owner's), who then runs check in a child; run
// as anyone else, check runs in a child as that user. check returns an empty text
// when it passed, else what it found wrong (a child cannot report through the test
// framework).
inline ChildOutcome runUnprivileged(const std::filesystem::path& folder, const std::function<std::string()>& check,
                                    bool giveFolder = true)
{
    const bool root = ::geteuid() == 0;
    uid_t uid = ::geteuid();
    gid_t gid = ::getegid();
    if (root) {
        const passwd* nobody = ::getpwnam("nobody");
        if (nobody == nullptr)
            return {false, "there is no user \"nobody\" to run as"};
        uid = nobody->pw_uid;
        gid = nobody->pw_gid;
    }
    if (root && giveFolder) {
        bool given = ::lchown(folder.c_str(), uid, gid) == 0;
        for (const auto& entry : std::filesystem::recursive_directory_iterator(folder))
            given = ::lchown(entry.path().c_str(), uid, gid) == 0 && given;
        if (!given)
            return {false, "the test folder cannot be given to \"nobody\""};
    }
    int channel[2];
    if (::pipe(channel) != 0)
        return {false, "no pipe to the child"};
    const pid_t child = ::fork();
    if (child < 0)
        return {false, "no child process"};
    if (child == 0) {
        ::close(channel[0]);
        std::string why;
        if (root && (::setgroups(0, nullptr) != 0 || ::setgid(gid) != 0 || ::setuid(uid) != 0))
            why = "\x01the child cannot become \"nobody\"";
        else if (::access(folder.c_str(), X_OK) != 0)
            why = "\x01the test folder cannot be reached without privileges";
        else
            why = check();
        const char* at = why.data();
        for (std::size_t left = why.size(); left > 0;) {
            const ssize_t n = ::write(channel[1], at, left);
            if (n <= 0)
                break;
            at += n;
            left -= static_cast<std::size_t>(n);
        }
        ::_exit(0);
    }
    ::close(channel[1]);
    std::string why;
    char buffer[512];
    for (ssize_t n; (n = ::read(channel[0], buffer, sizeof buffer)) > 0;)
        why.append(buffer, static_cast<std::size_t>(n));
    ::close(channel[0]);
    int status = 0;
    ::waitpid(child, &status, 0);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0)
        return {true, "the child ended abnormally: " + why};
    if (!why.empty() && why.front() == '\x01')
        return {false, why.substr(1)};
    return {true, why};
}

} // namespace valdrin::testing

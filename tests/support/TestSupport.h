#pragma once

#include <QString>
#include <functional>
#include <gtest/gtest.h>
#include <ostream>
#include <string>
#include <sys/types.h>

// Readable texts in failure messages (QStringList prints through this too).
inline void PrintTo(const QString& text, std::ostream* out) {
    *out << '"' << text.toStdString() << '"';
}

// Names each case of a parameterised test after its `name`.
struct NamedCase {
    template <class Case> std::string operator()(const testing::TestParamInfo<Case>& info) const {
        return info.param.name;
    }
};

// Runs the event loop until the condition holds; false after a generous bound.
bool waitFor(const std::function<bool()>& condition);

int openDescriptorCount();
// Children of this process, zombies included.
int childProcessCount();
// True once the process no longer exists, not even as a zombie.
bool processGone(pid_t pid);
// The exit status of a forked child that runs `body`, which ends it with
// _exit; -1 when there was no child or it did not exit.
int exitStatusInChild(void (*body)());

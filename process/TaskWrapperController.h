#pragma once

class QString;

namespace emberlin {

// The client of a TaskWrapper. The wrapper does not own its client.
class TaskWrapperController {
public:
    // One piece of output: a complete line with its "\n", or the unfinished end
    // of a read without one.
    virtual void processOutput(const QString& output) = 0;
    // Once, while the process is being started, before the child exists.
    virtual void processStarted() {}
    // At most once, when the wrapper stops.
    virtual void processFinished() {}
    // Once, when the child has exited by itself and every byte it wrote has been
    // handed to processOutput. Not called for a wrapper that was stopped first.
    // waitStatus is as waitpid() reports it.
    virtual void processExited(int waitStatus) = 0;

protected:
    ~TaskWrapperController() = default;
};

} // namespace emberlin

#pragma once

namespace emberlin {

// Descriptor flags that the runner needs on the parent's side of the terminal.
bool setCloseOnExec(int fd);
bool setNonBlocking(int fd);

} // namespace emberlin

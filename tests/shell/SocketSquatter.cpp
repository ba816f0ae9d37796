// emberlin-test-socket-squatter LOG PATH...: what another local user could run
// to take over the names a launch of Emberlin looks for. It makes each PATH's
// folder (open to all) where missing, listens on a socket at each PATH, says
// "ready" on standard output, then answers every connection as a running
// Emberlin would and appends what it was sent to LOG. Plain POSIX, run as the
// other user; it runs until killed.

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <string>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>
#include <vector>

namespace {

int listenAt(const std::string& path) {
    const std::string folder = path.substr(0, path.rfind('/'));
    if (mkdir(folder.c_str(), 0777) == 0)
        chmod(folder.c_str(), 0777);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    if (path.size() >= sizeof address.sun_path)
        return -1;
    std::memcpy(address.sun_path, path.c_str(), path.size());
    const int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0 || bind(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0 ||
        chmod(path.c_str(), 0777) != 0 || listen(fd, 8) != 0)
        return -1;
    return fd;
}

// Reads a launch's message (paths ended by NULs, the list by one more) and
// acknowledges it.
void serve(int client, const std::string& log) {
    std::string received;
    char buffer[4096];
    while (received.find(std::string(2, '\0')) == std::string::npos &&
           !(received.size() == 1 && received[0] == '\0')) {
        const ssize_t got = read(client, buffer, sizeof buffer);
        if (got <= 0)
            break;
        received.append(buffer, static_cast<std::size_t>(got));
    }
    const int out = open(log.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0666);
    if (out >= 0) {
        [[maybe_unused]] const ssize_t written = write(out, received.data(), received.size());
        close(out);
    }
    const char acknowledgement = '\x06';
    [[maybe_unused]] const ssize_t written = write(client, &acknowledgement, 1);
    close(client);
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 3)
        return 2;
    std::vector<pollfd> listeners;
    for (int i = 2; i < argc; ++i) {
        const int fd = listenAt(argv[i]);
        if (fd < 0) {
            std::fprintf(stderr, "cannot listen at %s: %s\n", argv[i], std::strerror(errno));
            return 1;
        }
        listeners.push_back({fd, POLLIN, 0});
    }
    std::puts("ready");
    std::fflush(stdout);
    for (;;) {
        if (poll(listeners.data(), listeners.size(), -1) < 0 && errno != EINTR)
            return 1;
        for (pollfd& listener : listeners) {
            if (listener.revents & POLLIN) {
                const int client = accept4(listener.fd, nullptr, nullptr, SOCK_CLOEXEC);
                if (client >= 0)
                    serve(client, argv[1]);
            }
        }
    }
}

// A .dmg of any bytes: it is refused with a sentence, or it gives an image
// that delivers exactly its size and reads the same at any offset, or fails
// with a sentence; never a crash, a hang or memory without bound.
#include "disctool/image/DiskImage.h"
#include "posix/FileDescriptor.h"
#include "tests/fuzz/FuzzCheck.h"

#include <cstring>
#include <sys/mman.h>
#include <unistd.h>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const posix::FileDescriptor file(::memfd_create("image.dmg", MFD_CLOEXEC));
    if (!file.isValid() || ::write(file.get(), data, size) != static_cast<ssize_t>(size)) {
        return 0;
    }
    std::string problem;
    const std::unique_ptr<disctool::DiskImage> image =
        disctool::DiskImage::open("/proc/self/fd/" + std::to_string(file.get()), problem);
    if (!image) {
        check(!problem.empty(), "a refusal says why");
        return 0;
    }
    // Large images are real ones made of runs of zeros: the fuzzer's time
    // goes to small ones.
    if (image->size() > 16 * 1024 * 1024) {
        return 0;
    }
    const std::unique_ptr<disctool::ImageStream> stream = image->stream(nullptr);
    std::vector<std::byte> streamed(static_cast<std::size_t>(image->size()) + 1);
    std::size_t got = 0;
    for (std::int64_t read = 1; read > 0;) {
        read = stream->read(
            std::span(streamed).subspan(got, std::min<std::size_t>(70001, streamed.size() - got)));
        check(read >= 0 || !stream->failure().empty(), "a failed read says why");
        if (read < 0) {
            return 0;
        }
        got += static_cast<std::size_t>(read);
        check(got <= static_cast<std::size_t>(image->size()), "no more than the image's size");
    }
    check(got == static_cast<std::size_t>(image->size()), "the whole image is delivered");
    std::vector<std::byte> again(static_cast<std::size_t>(image->size()));
    if (image->readAt(0, again, problem)) {
        check(std::memcmp(again.data(), streamed.data(), again.size()) == 0,
              "random access reads what the stream delivered");
    }
    return 0;
}

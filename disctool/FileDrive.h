// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "disctool/Drive.h"
#include "disctool/ImageWriter.h"
#include "disctool/ReplacementFile.h"
#include "posix/FileDescriptor.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

namespace disctool {

// A file as the burner ("burn to an image file"): no disc, so the image is
// copied into it directly, as fast as the disk takes it, and read back from
// it for the verify. A regular file is written under a hidden name beside it
// and takes its name only at commit(); a block device is written in place.
// A link is followed only when it leads to a file and was made by the user
// (or root): nothing another user plants decides where the image goes.
class FileDrive : public Drive {
public:
    // `path` as the user named it, after "stdio:".
    explicit FileDrive(std::string path);

    void startGrab() override { grabbed_ = grab(); }
    std::optional<GrabResult> grabbed() override { return grabbed_; }
    bool grabbing() override { return false; }
    Medium medium(const WriteIntent& intent) override;
    void reassess() override {}
    bool present() override { return true; }
    // A file is never ejected or reloaded: it is what it was written as.
    GrabResult ejectDisc() override { return {GrabStatus::Grabbed, {}}; }
    GrabResult openTray() override { return {GrabStatus::Grabbed, {}}; }
    Reload reloadMedium() override { return Reload::Reloaded; }
    bool startErase(bool fast) override;
    bool startFormat() override;
    bool startWrite(const WriteJob& job) override;
    Activity activity() override;
    void awaitChange(std::chrono::milliseconds most) override;
    void cancel() override;
    bool lastJobSucceeded() override;
    bool commit() override;
    std::int64_t trackStartByte() override { return 0; }
    int writeSpeed() override { return 0; }
    int readSpeed() override { return 0; }
    std::string writtenSha256() override;
    bool read(std::int64_t byteAddress, std::span<char> buffer) override;
    std::string failureReason() override;
    void release(bool eject) override;

private:
    GrabResult grab();
    int targetFd() const { return replacement_ ? replacement_->descriptor() : device_.get(); }
    // What the target can take: the file system's free space up to this
    // process's file size limit, or the block device's size.
    std::int64_t room() const;

    std::string path_;
    std::string target_; // path_ with a link followed
    std::optional<GrabResult> grabbed_;
    std::optional<ReplacementFile> replacement_;
    posix::FileDescriptor device_; // a block device written in place
    std::unique_ptr<ImageWriter> writer_;
    std::int64_t imageBytes_ = 0;
    bool lastJobSimulated_ = false;
    mode_t imagePermissions_ = 0; // of the image the last write read
    std::string failure_;
};

} // namespace disctool

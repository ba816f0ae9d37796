// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "DeviceAccess.h"
#include "Drive.h"
#include "LibburnHandles.h"
#include "LibburnSession.h"
#include "ReplacementFile.h"
#include "Sha256.h"

#include <cstdint>
#include <future>
#include <memory>
#include <optional>
#include <string>
#include <thread>
#include <vector>

namespace disctool {

// A drive driven by libburn: an optical drive (/dev/srN) or a file-backed
// drive (stdio:PATH), which libburn writes and reads like a disc.
class LibburnDrive : public Drive {
public:
    // The fifo between the image and a real drive: large enough that its
    // 50 ms waits never hold a BD at 16x (72 MB/s) back.
    static constexpr int fifoBytes = 32 * 1024 * 1024;

    // `access` checks device nodes before they are grabbed; stdio: drives need none.
    LibburnDrive(LibburnSession& session, std::string address, std::optional<DeviceAccess> access);
    ~LibburnDrive() override;
    LibburnDrive(const LibburnDrive&) = delete;
    LibburnDrive& operator=(const LibburnDrive&) = delete;

    void startGrab() override;
    std::optional<GrabResult> grabbed() override;
    bool grabbing() override;
    Medium medium(const WriteIntent& intent) override;
    void reassess() override;
    bool present() override;
    GrabResult ejectDisc() override;
    GrabResult openTray() override;
    Reload reloadMedium() override;
    bool startErase(bool fast) override;
    bool startFormat() override;
    bool startWrite(const WriteJob& job) override;
    Activity activity() override;
    void cancel() override;
    bool lastJobSucceeded() override;
    bool commit() override;
    std::int64_t trackStartByte() override;
    int writeSpeed() override;
    int readSpeed() override;
    std::string writtenSha256() override;
    bool read(std::int64_t byteAddress, std::span<char> buffer) override;
    std::string failureReason() override;
    void release(bool eject) override;

private:
    bool isFileBacked() const;
    std::string targetPath() const;
    GrabResult grabFileBacked();
    GrabResult grabDevice(bool load);
    GrabResult grabAddress(const std::string& libburnAddress, bool load);
    bool prepareTarget(const WriteJob& job);
    // The speed the drive took after being asked for `asked` kB/s; notes the
    // read speed that goes with it.
    int speedTaken(int asked);
    bool fail(std::string reason);
    void collectMessages();
    void forgetMessages();
    void waitUntilIdle();
    void freeJob();
    void releaseDrive(bool eject);

    LibburnSession& session_;
    std::string address_;
    std::optional<DeviceAccess> access_;
    std::string grabbedAddress_;                 // what libburn was given
    std::optional<ReplacementFile> replacement_; // where a file-backed drive writes
    bool lastJobSimulated_ = false;
    std::string devicePath_; // the node behind a device address
    burn::burn_drive_info* info_ = nullptr;
    burn::burn_drive* drive_ = nullptr;
    std::vector<LibburnMessage> messages_;
    std::string ownFailure_;

    std::shared_ptr<Sha256> imageDigest_;
    std::int64_t imageBytes_ = 0;
    libburn::Source imageSource_;
    libburn::Source fifo_;
    libburn::Track track_;
    libburn::Session burnSession_;
    libburn::Disc disc_;
    libburn::WriteOptions options_;
    std::int64_t trackStart_ = 0;
    int speed_ = 0;
    int readSpeed_ = 0;

    std::thread grabber_;
    std::future<GrabResult> grab_;
    std::optional<GrabResult> grabResult_;
};

} // namespace disctool

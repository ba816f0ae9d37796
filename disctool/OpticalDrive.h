// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "disctool/DeviceAccess.h"
#include "disctool/Drive.h"
#include "disctool/DriveWriteProgress.h"
#include "disctool/GrabThread.h"
#include "disctool/JobThreads.h"
#include "disctool/LibburnHandles.h"
#include "disctool/LibburnSession.h"
#include "disctool/LibburnTrack.h"

#include <cstdint>
#include <optional>
#include <string>

namespace disctool {

// An optical drive driven by libburn: a device node (/dev/srN), or an
// emulated drive, which libburn drives the same way.
class OpticalDrive : public Drive {
public:
    // `access` checks the node before libburn opens it.
    OpticalDrive(LibburnSession& session, std::string device, DeviceAccess access);
    ~OpticalDrive() override;
    OpticalDrive(const OpticalDrive&) = delete;
    OpticalDrive& operator=(const OpticalDrive&) = delete;

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
    bool commit() override { return true; }
    std::int64_t trackStartByte() override { return trackStart_; }
    int writeSpeed() override { return speed_; }
    int readSpeed() override { return readSpeed_; }
    std::string writtenSha256() override;
    bool read(std::int64_t byteAddress, std::span<char> buffer) override;
    std::string failureReason() override;
    void release(bool eject) override;

private:
    GrabResult grab(bool load);
    // Starts a job on the drive, or says why there is no drive to start it on.
    bool beginJob();
    bool fail(std::string reason);
    // The speed the drive took after being asked for `asked` kB/s, judged by
    // what libburn said from message `messagesBefore` on; notes the read
    // speed that goes with it.
    int speedTaken(int asked, std::size_t messagesBefore);
    // Waits until the threads libburn started for the last job have ended:
    // only then may what the job used be freed.
    void awaitJobEnd();
    void freeJob();
    void releaseDrive(bool eject);

    LibburnSession& session_;
    std::string device_;
    DeviceAccess access_;
    std::string devicePath_; // the node behind the device, once looked up
    burn::burn_drive_info* info_ = nullptr;
    burn::burn_drive* drive_ = nullptr;
    std::string ownFailure_;

    std::optional<LibburnTrack> track_;
    libburn::WriteOptions options_;
    std::int64_t trackStart_ = 0;
    DriveWriteProgress written_;
    int speed_ = 0;
    int readSpeed_ = 0;

    std::optional<JobThreads> jobThreads_;
    GrabThread grabber_;
};

} // namespace disctool

// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "Drive.h"
#include "FileSizeLimit.h"
#include "SimulatedDriveConfig.h"

#include <chrono>
#include <memory>
#include <optional>
#include <string>

namespace disctool {

// A drive whose medium is simulated: the disc's kind, state and capacity, its
// arrival, erasing, and the ways a burn can go wrong. The bytes are not: every
// write and read goes through the backing drive (libburn on a stdio: file), so
// a simulated burn exercises libburn's real write and read-back path.
class SimulatedDrive : public Drive {
public:
    SimulatedDrive(SimulatedDriveConfig config, std::unique_ptr<Drive> backing);

    GrabResult grab() override;
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
    bool read(std::int64_t byteAddress, std::span<char> buffer) override;
    std::string failureReason() override;
    void release(bool eject) override;

private:
    using Clock = std::chrono::steady_clock;
    enum class Job { None, Erase, Write };

    SimulatedDisc* currentDisc();
    std::optional<std::int64_t> stopSectorOfWrite() const;
    Activity eraseActivity();
    Activity writeActivity();
    void throttleRead(std::size_t bytes);

    SimulatedDriveConfig config_;
    std::unique_ptr<Drive> backing_;
    std::size_t discIndex_ = 0;
    Clock::time_point arrival_{};
    bool lost_ = false;
    Job job_ = Job::None;
    Job lastJob_ = Job::None;
    Clock::time_point eraseStart_{};
    std::string eraseFailure_;
    WriteJob write_;
    std::optional<FileSizeLimit> sizeLimit_;
    Clock::time_point nextReadAllowed_{};
};

} // namespace disctool

// SPDX-License-Identifier: GPL-3.0-or-later
#include "emulator/DeviceControl.h"

#include "emulator/Opcode.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <linux/cdrom.h>
#include <linux/fs.h>
#include <scsi/scsi.h>
#include <scsi/scsi_ioctl.h>
#include <sys/ioctl.h>
#include <unistd.h>
#include <vector>

namespace emulator {

namespace {

// The emulated drive's SCSI address: a host of its own whose number no
// adapter of a real machine reaches, so that no program that looks for the
// same address among the real drives finds one.
constexpr int hostNumber = 255;
// What the block layer's SCSI pass-through reports as its version (Linux:
// block/scsi_ioctl.c) and allows as the largest transfer.
constexpr int passThroughVersion = 30527;
constexpr int largestTransfer = 512 * 1024;
// The sg driver's status for a command that returned sense data.
constexpr unsigned short driverSense = 0x08;

// The block a drive receives for the one a host hands over: the kernel
// copies it into a zeroed buffer of 16 bytes, and an ATAPI drive takes its
// whole packet from there, so the bytes a host leaves out of a block (dvd+rw-
// format sends FORMAT UNIT in two) arrive as zeros.
std::vector<std::uint8_t> commandBlock(std::span<const std::uint8_t> given) {
    constexpr std::size_t kernelBuffer = 16;
    std::vector<std::uint8_t> block(given.begin(),
                                    given.begin() + std::min(given.size(), kernelBuffer));
    if (!block.empty()) {
        block.resize(std::max(block.size(), commandLength(block[0]).value_or(0)), 0);
    }
    return block;
}

int put(void* argument, int value) {
    *static_cast<int*>(argument) = value;
    return 0;
}

} // namespace

int DeviceControl::handle(unsigned long request, void* argument) {
    switch (request) {
    case SG_IO:
        return passThrough(*static_cast<sg_io_hdr_t*>(argument));
    case SG_GET_SCSI_ID: {
        auto* id = static_cast<sg_scsi_id*>(argument);
        *id = sg_scsi_id{};
        id->host_no = hostNumber;
        id->scsi_type = TYPE_ROM;
        return 0;
    }
    case SG_GET_VERSION_NUM:
        return put(argument, passThroughVersion);
    case SG_EMULATED_HOST:
        return put(argument, 1); // an ATAPI drive, as the block layer says of every one
    case SG_SET_TIMEOUT:
        timeout_ = *static_cast<const int*>(argument);
        return 0;
    case SG_GET_TIMEOUT:
        return timeout_;
    case SG_GET_RESERVED_SIZE:
        return put(argument, reservedSize_);
    case SG_SET_RESERVED_SIZE:
        if (*static_cast<const int*>(argument) < 0) {
            errno = EINVAL;
            return -1;
        }
        reservedSize_ = std::min(*static_cast<const int*>(argument), largestTransfer);
        return 0;
    case SCSI_IOCTL_GET_BUS_NUMBER:
        return put(argument, hostNumber);
    case SCSI_IOCTL_GET_IDLUN:
        // Target, LUN, channel and host packed into one int, then a unique id.
        static_cast<int*>(argument)[0] = hostNumber << 24;
        static_cast<int*>(argument)[1] = hostNumber;
        return 0;
    case CDROM_DRIVE_STATUS:
        return drive_.trayStatus();
    case CDROM_MEDIA_CHANGED:
        return mediaChanged() ? 1 : 0;
    case BLKFLSBUF:
        // Nothing of the disc is cached in the system; flushing it takes
        // the administrator's privilege, as the block layer asks.
        if (::geteuid() != 0) {
            errno = EACCES;
            return -1;
        }
        return 0;
    default:
        errno = ENOTTY; // HDIO_GET_IDENTITY and the like: no ATA disk here
        return -1;
    }
}

Reply DeviceControl::send(std::span<const std::uint8_t> cdb, std::span<std::uint8_t> toHost) {
    return drive_.execute(cdb, toHost, {});
}

bool DeviceControl::mediaChanged() {
    // As the sr driver asks: a unit attention, or a media event.
    constexpr std::array<std::uint8_t, 6> testUnitReady{
        static_cast<std::uint8_t>(Opcode::TestUnitReady)};
    const Reply ready = send(testUnitReady);
    // Polled, media class, 8 bytes.
    constexpr std::array<std::uint8_t, 10> mediaEvents{
        static_cast<std::uint8_t>(Opcode::GetEventStatusNotification),
        0x01,
        0,
        0,
        0x10,
        0,
        0,
        0,
        8,
        0};
    std::array<std::uint8_t, 8> event{};
    send(mediaEvents, event);
    const int code = event[4] & 0x0F; // 2: new media, 3: media removal
    return (ready.sense && ready.sense->key == sense::unitAttention) || code == 2 || code == 3;
}

int DeviceControl::passThrough(sg_io_hdr_t& header) {
    if (header.interface_id != 'S' || header.iovec_count != 0 || header.cmdp == nullptr) {
        errno = EINVAL;
        return -1;
    }
    const auto start = std::chrono::steady_clock::now();
    auto* data = static_cast<std::uint8_t*>(header.dxferp);
    const bool toHost = header.dxfer_direction == SG_DXFER_FROM_DEV;
    const bool fromHost = header.dxfer_direction == SG_DXFER_TO_DEV;
    const Reply reply =
        drive_.execute(commandBlock(std::span<const std::uint8_t>(header.cmdp, header.cmd_len)),
                       std::span<std::uint8_t>(data, toHost ? header.dxfer_len : 0),
                       std::span<const std::uint8_t>(data, fromHost ? header.dxfer_len : 0));
    if (reply.driveGone) {
        errno = ENODEV;
        return -1;
    }
    header.host_status = 0;
    header.msg_status = 0;
    header.resid = toHost ? static_cast<int>(header.dxfer_len - reply.transferred) : 0;
    header.duration = static_cast<unsigned>(std::chrono::duration_cast<std::chrono::milliseconds>(
                                                std::chrono::steady_clock::now() - start)
                                                .count());
    header.sb_len_wr = 0;
    header.status = header.masked_status = header.driver_status = 0;
    header.info = 0;
    if (reply.sense) {
        const Bytes sense = reply.sense->fixedFormat();
        header.sb_len_wr =
            static_cast<unsigned char>(std::min<std::size_t>(header.mx_sb_len, sense.size()));
        std::memcpy(header.sbp, sense.data(), header.sb_len_wr);
        header.status = 0x02; // CHECK CONDITION
        header.masked_status = CHECK_CONDITION;
        header.driver_status = driverSense;
        header.info = SG_INFO_CHECK;
    }
    return 0;
}

} // namespace emulator

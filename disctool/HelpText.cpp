// SPDX-License-Identifier: GPL-3.0-or-later
#include "disctool/HelpText.h"

namespace disctool {

std::string_view helpText() {
    return R"help(Usage:
  emberlin-disctool burn -list
  emberlin-disctool burn IMAGE -device ID [options]

Burns a disc image (iso, img, dmg, toast) to a CD, DVD or BD with libburn.

burn -list
  Lists the burners as pairs of lines: "VENDOR PRODUCT via TRANSPORT", then the
  device id to pass to -device. Prints "no CD/DVD drives present" when there
  is none. Drives you may not open are marked "(no permission)".

Burn options (in any order):
  -device ID                 the burner (required), see "Device ids"
  -verifyburn | -noverifyburn   read the disc back and compare it with the
                             image (default: verify)
  -forceclose | -noforceclose   close the disc, or leave it appendable where
                             the medium allows more sessions (default: close)
  -speed 1|2|4|6|8|12|16|24|max  multiple of the medium's 1x (default: max)
  -erase                     erase a rewritable disc that holds data first;
                             a blank disc is not erased. Without it, a disc
                             that holds data is never written over
  -askbeforeerasing          before a disc's data is lost to an erase, a
                             format or a write over it, say what it holds
                             and read one line from standard input: "erase"
                             goes on, "keep" ejects the disc and waits for
                             another; anything else, or no line, fails the
                             burn with nothing erased
  -eject | -noeject          eject the disc at the end (default: eject)
  -testburn                  simulate the burn where the medium allows it;
                             nothing is erased or formatted
  -puppetstrings             machine-readable lines for Emberlin: its texts,
                             "PERCENT:N", and "FACT:KEY=VALUE ..." lines with
                             medium, capacity, image-bytes, write-kbps,
                             read-kbps, erase, bytes-written, bytes-verified,
                             file-sha256 (of the image file as read),
                             image-sha256 (of the bytes written) and
                             readback-sha256 (of the disc read back); without
                             it, sentences that also give both SHA-256s
  -help                      this text
  --                         ends the options (for an image named "-...")

Device ids:
  /dev/srN                   an optical drive
  stdio:PATH                 a file ("burn to an image file"; an existing
                             file is replaced once the burn succeeded; a
                             link is followed only to an existing file, and
                             only when the user made it)
  sim:PATH?PARAMETERS        an emulated drive for trying Emberlin without
                             hardware: libburn drives it like a real one,
                             the disc's bytes live in PATH and what was done
                             to it in PATH.state. Parameters, joined by "&":
    medium=KIND[,KIND...]    cd-r, cd-rw, dvd-r, dvd-r-dl, dvd-rw, dvd-rw-ro
                             (restricted overwrite), dvd+r, dvd+r-dl, dvd+rw,
                             dvd-ram, bd-r, bd-re (default cd-r)
    state=STATE[,STATE...]   empty, blank, appendable, full, unformatted
                             (default blank)
    capacity=SIZE[,SIZE...]  bytes, or with k, M, G (default: a common disc)
    used=SIZE[,SIZE...]      taken by earlier sessions of a disc with data
    sessions=N[,N...]        how many earlier sessions (default 1)
    insert-after=WHEN        the drive starts empty; the disc goes in WHEN
                             after the tray opened, and so does each next one
    no-medium-for=WHEN       after loading, the drive says "no medium" until WHEN
    unready[=WHEN]           after loading, it is "becoming ready" until WHEN
                             (without WHEN: for ever)
    erase-time=WHEN          blanking and formatting end WHEN after they start
    rate=Nx|KBPS             the drive's top write speed; writing, reading,
                             blanking, formatting, closing and draining its
                             buffer then take as long as on a real drive of
                             that speed (without it nothing takes time)
    top-speed=Nx|KBPS        the drive's top write speed, without the waiting
    busy                     another program holds the drive
    lost-at=SECTOR           the drive disappears when writing reaches that
                             sector of the track
    fail-at-sector=SECTOR    writing that sector of the track fails
    bad-sector=SECTOR        that sector of the track reads back wrong
    stall-at=SECTOR          writing stops before that sector until resume
    stall-read-at=SECTOR     reading stops before that sector until resume
    stall-on=OPCODE          the first command with that MMC operation code
                             (hex: 5B is CLOSE TRACK/SESSION) waits for resume
    resume=WHEN              when a stall ends
    refuse=OPCODE[,OPCODE..] commands the drive does not support (B6: SET
                             STREAMING)
    no-fast-blank            the drive refuses a minimal blank
    tray=manual              the tray closes only by hand: no loading
    log=FILE                 each command received is added to FILE, by name
  WHEN is a time (500ms, 2s), a number of commands the drive gets (3polls)
  or a file that must exist (@/tmp/go). Comma lists describe discs that
  follow one another: an ejected disc stays on the open tray a moment (a
  load takes it back in), then the user swaps in the next one; after the
  last one the drive stays empty. Example:
    sim:/tmp/disc.img?medium=cd-rw&state=full&insert-after=2s

Environment:
  EMBERLIN_VIRTUAL_BURNERS   device ids (sim: or stdio:), separated by ";",
                             that "burn -list" adds to the drives it finds
  EMBERLIN_DISCTOOL_UNREADY_MS  how long a drive may stay unready before its
                             disc is treated as unusable (default 30000)

Exit status: 0 burned, 1 failed, 2 bad arguments, 128+N stopped by signal N
(the drive is always brought to rest first: a running erase is finished).
)help";
}

} // namespace disctool

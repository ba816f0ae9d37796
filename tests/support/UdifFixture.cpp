// SPDX-License-Identifier: GPL-3.0-or-later
#include "tests/support/UdifFixture.h"

#include <algorithm>
#include <bzlib.h>
#include <lzma.h>
#include <openssl/evp.h>
#include <stdexcept>
#include <zlib.h>

namespace udiffixture {

void putBig(std::vector<char>& out, std::size_t at, std::uint64_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) {
        out[at + static_cast<std::size_t>(i)] =
            static_cast<char>((value >> (8 * (bytes - 1 - i))) & 0xff);
    }
}

namespace {

constexpr std::uint64_t sectorBytes = 512;

void appendBig(std::vector<char>& out, std::uint64_t value, int bytes) {
    out.resize(out.size() + static_cast<std::size_t>(bytes));
    putBig(out, out.size() - static_cast<std::size_t>(bytes), value, bytes);
}

std::uint32_t crcOf(const std::vector<char>& bytes) {
    return static_cast<std::uint32_t>(crc32(crc32(0, nullptr, 0),
                                            reinterpret_cast<const Bytef*>(bytes.data()),
                                            static_cast<uInt>(bytes.size())));
}

// Literal runs, and each run of one repeated byte as copies one byte back.
std::vector<char> adc(const std::vector<char>& in) {
    std::vector<char> out;
    std::size_t at = 0;
    while (at < in.size()) {
        std::size_t same = 1;
        while (at + same < in.size() && in[at + same] == in[at] && same < 19) {
            ++same;
        }
        if (same >= 4 && at > 0 && in[at - 1] == in[at]) {
            out.push_back(static_cast<char>(((same - 3) << 2) & 0x3c)); // distance 1
            out.push_back(0);
            at += same;
            continue;
        }
        const std::size_t length = std::min<std::size_t>(128, in.size() - at);
        out.push_back(static_cast<char>(0x80 | (length - 1)));
        out.insert(out.end(), in.begin() + static_cast<std::ptrdiff_t>(at),
                   in.begin() + static_cast<std::ptrdiff_t>(at + length));
        at += length;
    }
    return out;
}

std::vector<char> coded(Coding coding, const std::vector<char>& in) {
    std::vector<char> out(in.size() + in.size() / 2 + 1024);
    switch (coding) {
    case Coding::Zeros:
    case Coding::Ignored:
        return {};
    case Coding::Raw:
    case Coding::Lzfse: // the refusal never looks inside
        return in;
    case Coding::Adc:
        return adc(in);
    case Coding::Zlib: {
        auto length = static_cast<uLongf>(out.size());
        compress(reinterpret_cast<Bytef*>(out.data()), &length,
                 reinterpret_cast<const Bytef*>(in.data()), static_cast<uLong>(in.size()));
        out.resize(length);
        return out;
    }
    case Coding::Bzip2: {
        auto length = static_cast<unsigned>(out.size());
        BZ2_bzBuffToBuffCompress(out.data(), &length, const_cast<char*>(in.data()),
                                 static_cast<unsigned>(in.size()), 9, 0, 0);
        out.resize(length);
        return out;
    }
    case Coding::Xz: {
        std::size_t length = 0;
        lzma_easy_buffer_encode(6, LZMA_CHECK_CRC32, nullptr,
                                reinterpret_cast<const std::uint8_t*>(in.data()), in.size(),
                                reinterpret_cast<std::uint8_t*>(out.data()), &length, out.size());
        out.resize(length);
        return out;
    }
    }
    throw std::logic_error("unknown coding");
}

std::string base64(const std::vector<char>& bytes) {
    std::string out(4 * ((bytes.size() + 2) / 3) + 1, '\0');
    const int length = EVP_EncodeBlock(reinterpret_cast<unsigned char*>(out.data()),
                                       reinterpret_cast<const unsigned char*>(bytes.data()),
                                       static_cast<int>(bytes.size()));
    out.resize(static_cast<std::size_t>(length));
    return out;
}

void putCrc(std::vector<char>& out, std::size_t at, std::uint32_t crc) {
    putBig(out, at, 2, 4);
    putBig(out, at + 4, 32, 4);
    putBig(out, at + 8, crc, 4);
}

} // namespace

Image make(const std::vector<Table>& tables, const std::vector<char>& content,
           const Options& options) {
    Image image;
    std::string blkx;
    std::uint64_t firstSector = 0;
    std::size_t taken = 0;
    for (const Table& table : tables) {
        std::vector<char> mish(204);
        std::vector<char> expanded;
        std::vector<char> checksummed;
        std::uint64_t sector = 0;
        for (const Chunk& chunk : table.chunks) {
            std::vector<char> sectors(chunk.sectors * sectorBytes);
            if (chunk.coding != Coding::Zeros && chunk.coding != Coding::Ignored) {
                for (char& byte : sectors) {
                    byte = content[taken++ % content.size()];
                }
            }
            const std::vector<char> stored = coded(chunk.coding, sectors);
            appendBig(mish, static_cast<std::uint32_t>(chunk.coding), 4);
            appendBig(mish, 0, 4);
            appendBig(mish, sector, 8);
            appendBig(mish, chunk.sectors, 8);
            appendBig(mish, image.file.size(), 8);
            appendBig(mish, stored.size(), 8);
            image.file.insert(image.file.end(), stored.begin(), stored.end());
            expanded.insert(expanded.end(), sectors.begin(), sectors.end());
            if (chunk.coding != Coding::Ignored) {
                checksummed.insert(checksummed.end(), sectors.begin(), sectors.end());
            }
            sector += chunk.sectors;
        }
        // The end entry marks where the chunks end.
        appendBig(mish, 0xffffffff, 4);
        appendBig(mish, 0, 4);
        appendBig(mish, sector, 8);
        appendBig(mish, 0, 8);
        appendBig(mish, image.file.size(), 8);
        appendBig(mish, 0, 8);
        const std::uint64_t sectorCount = sector + table.trailingSectors;
        expanded.resize(sectorCount * sectorBytes);
        std::copy_n("mish", 4, mish.begin());
        putBig(mish, 4, 1, 4);
        putBig(mish, 8, firstSector, 8);
        putBig(mish, 16, sectorCount, 8);
        putBig(mish, 36, 0x208, 4); // buffers needed
        if (options.withChecksums) {
            putCrc(mish, 64, crcOf(checksummed));
        }
        putBig(mish, 200, table.chunks.size() + 1, 4);
        if (options.editTable) {
            options.editTable(mish);
        }
        blkx += "<dict><key>Attributes</key><string>0x0050</string><key>CFName</key><string>" +
                table.name + "</string><key>Data</key><data>" + base64(mish) +
                "</data><key>ID</key><string>" + std::to_string(firstSector) +
                "</string><key>Name</key><string>" + table.name + "</string></dict>";
        image.expanded.insert(image.expanded.end(), expanded.begin(), expanded.end());
        firstSector += sectorCount;
    }
    const std::uint64_t dataForkLength = image.file.size();
    std::string xml =
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<!DOCTYPE plist PUBLIC \"-//Apple//DTD PLIST "
        "1.0//EN\" \"http://www.apple.com/DTDs/PropertyList-1.0.dtd\">\n<plist "
        "version=\"1.0\">\n<dict>\n<key>resource-fork</key>\n<dict>\n<key>blkx</key>\n<array>\n" +
        blkx + "\n</array>\n</dict>\n</dict>\n</plist>\n";
    if (options.editPropertyList) {
        options.editPropertyList(xml);
    }
    std::vector<char> trailer(512);
    std::copy_n("koly", 4, trailer.begin());
    putBig(trailer, 4, 4, 4);
    putBig(trailer, 8, 512, 4);
    putBig(trailer, 12, 1, 4);
    putBig(trailer, 32, dataForkLength, 8);
    putBig(trailer, 56, 1, 4);
    putBig(trailer, 60, options.segmentCount, 4);
    if (options.withChecksums) {
        putCrc(trailer, 80, crcOf(image.file));
    }
    putBig(trailer, 216, dataForkLength, 8);
    putBig(trailer, 224, xml.size(), 8);
    putBig(trailer, 488, 1, 4);
    putBig(trailer, 492, firstSector, 8);
    image.file.insert(image.file.end(), xml.begin(), xml.end());
    image.file.insert(image.file.end(), trailer.begin(), trailer.end());
    if (options.editFile) {
        options.editFile(image.file);
    }
    return image;
}

} // namespace udiffixture

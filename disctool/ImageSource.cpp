// SPDX-License-Identifier: GPL-3.0-or-later
#include "disctool/ImageSource.h"

#include "disctool/AlignedBuffer.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <new>
#include <span>
#include <unistd.h>
#include <utility>

using namespace burn;

namespace disctool {

namespace {

constexpr std::size_t blockBytes = 1024 * 1024;

struct ImageSourceData {
    std::shared_ptr<ImageStream> image;
    std::int64_t size = 0;      // what the source delivers, at most
    std::int64_t delivered = 0; // so far
    AlignedBuffer block{blockBytes};
    std::size_t begin = 0; // unread part of the block
    std::size_t end = 0;
    std::shared_ptr<Sha256> digest;
};

ImageSourceData& dataOf(burn_source* source) {
    return *static_cast<ImageSourceData*>(source->data);
}

// Fills `buffer` completely unless the image ends (fewer bytes, then 0 on the
// next call) or cannot be read (-1), as libburn requires.
int readImage(burn_source* source, unsigned char* buffer, int size) {
    ImageSourceData& data = dataOf(source);
    int copied = 0;
    while (copied < size && data.delivered < data.size) {
        if (data.begin == data.end) {
            const std::int64_t got = data.image->read(data.block.span());
            if (got < 0) {
                return -1;
            }
            if (got == 0) {
                break;
            }
            // What the block holds of the image goes to libburn, in order:
            // hashed here at once rather than sector by sector.
            data.begin = 0;
            data.end =
                static_cast<std::size_t>(std::min<std::int64_t>(got, data.size - data.delivered));
            data.digest->add(std::span(data.block.data(), data.end));
        }
        const std::size_t wanted =
            std::min<std::size_t>({static_cast<std::size_t>(size - copied), data.end - data.begin,
                                   static_cast<std::size_t>(data.size - data.delivered)});
        std::memcpy(buffer + copied, data.block.data() + data.begin, wanted);
        data.begin += wanted;
        data.delivered += static_cast<std::int64_t>(wanted);
        copied += static_cast<int>(wanted);
    }
    return copied;
}

off_t sizeOf(burn_source* source) {
    return dataOf(source).size;
}

int setSize(burn_source* source, off_t size) {
    dataOf(source).size = size;
    return 1;
}

void freeData(burn_source* source) {
    delete static_cast<ImageSourceData*>(source->data);
    source->data = nullptr;
}

} // namespace

libburn::Source makeImageSource(std::shared_ptr<ImageStream> image, std::int64_t size,
                                std::shared_ptr<Sha256> digest) {
    // libburn frees the structure itself with free().
    auto* source = static_cast<burn_source*>(std::calloc(1, sizeof(burn_source)));
    if (source == nullptr) {
        return nullptr;
    }
    auto* data = new (std::nothrow) ImageSourceData;
    if (data == nullptr) {
        std::free(source);
        return nullptr;
    }
    data->image = std::move(image);
    data->size = size;
    data->digest = std::move(digest);
    source->refcount = 1;
    source->read = readImage;
    source->read_sub = nullptr;
    source->get_size = sizeOf;
    source->set_size = setSize;
    source->free_data = freeData;
    source->next = nullptr;
    source->data = data;
    return libburn::Source(source);
}

} // namespace disctool

#include "BitfileFuzzTarget.h"

#include <cstdlib>
#include <string>

#include "bitfile/Bitfile.h"
#include "status/Exception.h"

namespace zyfuzz {
namespace {

void require(bool condition) {
    if (!condition) std::abort();
}

void checkDesign(const zyrask::Bitfile& bitfile) {
    zyrask::ByteBuffer packed;
    zyerr::Status status;
    for (const auto& entry : bitfile.registers()) {
        entry.getDescriptor().serialize(packed, status);
        (void)entry.getResourceId();
    }
    for (const auto& fifo : bitfile.fifos()) {
        fifo.serialize(packed, status);
        require(fifo.isComplete());
    }
    require(status.code == 0);
    require(packed.size() == bitfile.registers().size() * zyrask::ResourceDescriptor::kPackedSize +
                                 bitfile.fifos().size() * zyrask::FifoInfo::kPackedSize);
    require(bitfile.signature().size() == 32);

    // The metadata is the same document without icon and bitstream: it must parse again.
    const zyrask::Bitfile again(bitfile.metadataText(), false, false);
    require(again.signature() == bitfile.signature());
    require(again.registers().size() == bitfile.registers().size());
    require(again.fifos().size() == bitfile.fifos().size());
    require(again.metadataText() == bitfile.metadataText());
}

}  // namespace

int parseBitfileInput(const uint8_t* data, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    try {
        const zyrask::Bitfile bitfile(text, false, true);
        checkDesign(bitfile);
    } catch (const zyerr::Exception& exception) {
        require(exception.code() < 0);
    }
    return 0;
}

}  // namespace zyfuzz

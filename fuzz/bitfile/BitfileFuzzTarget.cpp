#include "BitfileFuzzTarget.h"

#include <cstdlib>
#include <memory>
#include <string>

#include "bitfile/Bitfile.h"
#include "status/Exception.h"
#include "status/StatusCodes.h"

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

// Everything the model holds but the bitstream, as one text.
std::string summaryOf(const zyrask::Bitfile& bitfile) {
    std::string summary;
    auto text = [&summary](const std::string& value) {
        summary += value;
        summary.push_back('\0');
    };
    auto number = [&text](uint64_t value) { text(std::to_string(value)); };
    for (uint64_t value :
         {uint64_t{bitfile.bitfileVersionMajor()}, uint64_t{bitfile.bitfileVersionMinor()},
          uint64_t{bitfile.autoRunWhenDownloaded()}, uint64_t{bitfile.allowImplicitEnableRemoval()},
          uint64_t{bitfile.resetNotSupported()}, uint64_t{bitfile.abortNotSupported()},
          uint64_t{bitfile.zynqBsEnablePatch()}, uint64_t{bitfile.baseAddress()},
          uint64_t{bitfile.viSignatureOffset()}, uint64_t{bitfile.viControlOffset()},
          uint64_t{bitfile.diagramResetOffset()}, uint64_t{bitfile.interruptEnableOffset()},
          uint64_t{bitfile.interruptStatusOffset()}, uint64_t{bitfile.bitstreamVersion()},
          uint64_t{bitfile.dram2DpBaseAddress()}}) {
        number(value);
    }
    for (const std::string* value : {&bitfile.signature(), &bitfile.targetClass(),
                                     &bitfile.bitstreamMd5(), &bitfile.targetSpecificDataText(),
                                     &bitfile.compilationResultsText(), &bitfile.metadataText()}) {
        text(*value);
    }
    zyrask::ByteBuffer packed;
    zyerr::Status status;
    for (const auto& entry : bitfile.registers()) {
        text(entry.name);
        number(entry.getResourceId());
        entry.getDescriptor().serialize(packed, status);
    }
    for (const auto& fifo : bitfile.fifos()) {
        text(fifo.name);
        text(fifo.baseAddressTag);
        text(fifo.writeWindowAddressTag);
        fifo.serialize(packed, status);
    }
    summary.append(reinterpret_cast<const char*>(packed.data()), packed.size());
    return summary;
}

// Parses text with or without the bitstream: the model, or the status it threw.
struct Outcome {
    std::unique_ptr<const zyrask::Bitfile> bitfile;
    int32_t code = 0;
};

Outcome parseOnce(const std::string& text, bool parseBitstream) {
    Outcome outcome;
    try {
        outcome.bitfile = std::make_unique<const zyrask::Bitfile>(text, false, parseBitstream);
    } catch (const zyerr::Exception& exception) {
        require(exception.code() < 0);
        outcome.code = exception.code();
    }
    return outcome;
}

}  // namespace

int parseBitfileInput(const uint8_t* data, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    const Outcome whole = parseOnce(text, true);
    if (whole.bitfile) {
        try {
            checkDesign(*whole.bitfile);
        } catch (const zyerr::Exception& exception) {
            require(exception.code() < 0);
        }
    }

    // Without its bitstream the document is parsed another way (the bitstream's text is never
    // handed to the parser), yet must read the same. Only decoding the bitstream can fail in
    // addition, on its encoding, and that check comes before the icon's.
    const Outcome light = parseOnce(text, false);
    if (light.bitfile && whole.bitfile) {
        require(summaryOf(*light.bitfile) == summaryOf(*whole.bitfile));
    } else if (light.bitfile) {
        require(whole.code == zyerr::codes::BitfileIncompatible);
    } else {
        require(!whole.bitfile &&
                (whole.code == light.code || whole.code == zyerr::codes::BitfileIncompatible));
    }
    return 0;
}

}  // namespace zyfuzz

// The parsed bitfile: the document that describes a compiled FPGA design, its registers, its
// DMA FIFOs and its configuration bitstream. Immutable once constructed and shared read-only.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "bitfile/Resources.h"

namespace zyrask {

class Bitfile {
public:
    // Parses source, a document text or (sourceIsPath) the path of a file holding one. The
    // bitstream is base64-decoded only when parseBitstream is true. Throws zyerr::Exception:
    // -61070 malformed or incomplete, -63107 incompatible, -63101 file not readable.
    Bitfile(const std::string& source, bool sourceIsPath, bool parseBitstream);

    static std::shared_ptr<const Bitfile> create(const std::string& source, bool sourceIsPath,
                                                 bool parseBitstream);

    uint32_t bitfileVersionMajor() const { return bitfileVersionMajor_; }
    uint32_t bitfileVersionMinor() const { return bitfileVersionMinor_; }
    const std::string& signature() const { return signature_; }
    const std::string& targetClass() const { return targetClass_; }
    bool autoRunWhenDownloaded() const { return autoRunWhenDownloaded_; }
    bool allowImplicitEnableRemoval() const { return allowImplicitEnableRemoval_; }
    bool resetNotSupported() const { return resetNotSupported_; }
    bool abortNotSupported() const { return abortNotSupported_; }
    bool zynqBsEnablePatch() const { return zynqBsEnablePatch_; }
    uint32_t baseAddress() const { return baseAddress_; }
    uint32_t viSignatureOffset() const { return viSignatureOffset_; }
    uint32_t viControlOffset() const { return viControlOffset_; }
    uint32_t diagramResetOffset() const { return diagramResetOffset_; }
    uint32_t interruptEnableOffset() const { return interruptEnableOffset_; }
    uint32_t interruptStatusOffset() const { return interruptStatusOffset_; }
    const std::vector<NamedRegister>& registers() const { return registers_; }
    // Ordered by channel number: fifos()[n].number == n.
    const std::vector<NamedFifo>& fifos() const { return fifos_; }
    uint32_t bitstreamVersion() const { return bitstreamVersion_; }
    const std::string& bitstreamMd5() const { return bitstreamMd5_; }
    // Empty unless the bitfile was parsed with its bitstream.
    const std::vector<uint8_t>& bitstream() const { return bitstream_; }
    const std::string& targetSpecificDataText() const { return targetSpecificDataText_; }
    const std::string& compilationResultsText() const { return compilationResultsText_; }
    // The whole document without the icon and bitstream data.
    const std::string& metadataText() const { return metadataText_; }
    uint32_t dram2DpBaseAddress() const { return dram2DpBaseAddress_; }

    // First register or FIFO of that exact name; null when there is none.
    const NamedRegister* findRegister(const std::string& name) const;
    const NamedFifo* findFifo(const std::string& name) const;

private:
    friend class BitfileParser;
    Bitfile() = default;

    uint32_t bitfileVersionMajor_ = 0;
    uint32_t bitfileVersionMinor_ = 0;
    std::string signature_;
    std::string targetClass_;
    bool autoRunWhenDownloaded_ = false;
    bool allowImplicitEnableRemoval_ = false;
    bool resetNotSupported_ = false;
    bool abortNotSupported_ = false;
    bool zynqBsEnablePatch_ = false;
    uint32_t baseAddress_ = 0;
    uint32_t viSignatureOffset_ = 0;
    uint32_t viControlOffset_ = 0;
    uint32_t diagramResetOffset_ = 0;
    uint32_t interruptEnableOffset_ = 0;
    uint32_t interruptStatusOffset_ = 0;
    std::vector<NamedRegister> registers_;
    std::vector<NamedFifo> fifos_;
    uint32_t bitstreamVersion_ = 0;
    std::string bitstreamMd5_;
    std::vector<uint8_t> bitstream_;
    std::string targetSpecificDataText_;
    std::string compilationResultsText_;
    std::string metadataText_;
    uint32_t dram2DpBaseAddress_ = 0xFFFFFFFF;
};

}  // namespace zyrask

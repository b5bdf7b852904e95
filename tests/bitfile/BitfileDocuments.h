// Bitfile documents for the tests: a small valid design whose parts a test replaces.
#pragma once

#include <cstdint>
#include <string>

namespace zytest {

// Replaces the first occurrence of from (which must occur: std::out_of_range otherwise) by to.
inline std::string replaced(std::string text, const std::string& from, const std::string& to) {
    return text.replace(text.find(from), from.size(), to);
}

inline std::string channel(const std::string& name, const std::string& number,
                           const std::string& tag, const std::string& implementation,
                           const std::string& dataType, const std::string& extra = "") {
    return "<Channel name=\"" + name + "\"><Number>" + number +
           "</Number><NumberOfElements>1023</NumberOfElements><BaseAddressTag>" + tag +
           "</BaseAddressTag><Implementation>" + implementation + "</Implementation><DataType>" +
           dataType + "</DataType><UserVisible>true</UserVisible>" + extra + "</Channel>";
}

inline std::string registerBlock(const std::string& name, const std::string& offset) {
    return "<RegisterBlock name=\"" + name + "\"><Offset>" + offset + "</Offset></RegisterBlock>";
}

inline std::string internalRegister(const std::string& name, const std::string& offset) {
    return "<Register><Name>" + name + "</Name><Offset>" + offset +
           "</Offset><Internal>true</Internal></Register>";
}

inline std::string userRegister(const std::string& name, const std::string& offset,
                                const std::string& datatype, bool indicator = true,
                                bool mayTimeout = false, const std::string& extra = "") {
    return "<Register><Name>" + name + "</Name><Offset>" + offset +
           "</Offset><Internal>false</Internal><Indicator>" + (indicator ? "true" : "false") +
           "</Indicator><AccessMayTimeout>" + (mayTimeout ? "true" : "false") +
           "</AccessMayTimeout><Datatype>" + datatype + "</Datatype>" + extra + "</Register>";
}

// A complete document with one target-to-host FIFO, the two required internal registers and
// one U32 indicator; a test replaces the parts it is about.
struct DocumentParts {
    std::string target = "Ostrel-7976";
    std::string channels = channel("Samples", "0", "Dma0", "zyFpgaTargetToHost", "<I32/>");
    std::string blocks = registerBlock("Dma0", "0x1800");
    std::string registers = internalRegister("ViSignature", "0x7FF0") +
                            internalRegister("ViControl", "0x7FF4") +
                            userRegister("Count", "0x20", "<U32/>");
    std::string extra;  // elements before the bitstream

    std::string text() const {
        return "<?xml version=\"1.0\"?>\n<Bitfile><BitfileVersion>8.0</BitfileVersion>"
               "<SignatureRegister>0123456789ABCDEF0123456789ABCDEF</SignatureRegister>"
               "<Project><TargetClass>" +
               target +
               "</TargetClass><AutoRunWhenDownloaded>false</AutoRunWhenDownloaded>"
               "<CompilationResultsTree><CompilationResults><ZyFpga><DmaChannelAllocationList>" +
               channels + "</DmaChannelAllocationList><RegisterBlockList>" + blocks +
               "</RegisterBlockList></ZyFpga></CompilationResults></CompilationResultsTree>"
               "</Project><VI><RegisterList>" +
               registers +
               "</RegisterList><Icon><Image>AAAA</Image><Mask>BBBB</Mask><Colors>CCCC</Colors>"
               "</Icon></VI><BitstreamVersion>2</BitstreamVersion>" +
               extra + "<Bitstream>AAECAw==</Bitstream></Bitfile>\n";
    }
};

// A design with many DMA channels, the shape that once took quadratic time to resolve. Every
// fifth channel is a peer-to-peer reader with a write window, and the writer before it names
// the same window (a writer's window is never resolved). The blocks come in reverse channel
// order; an unrelated block is ignored, and a second block for Dma0 overrides the first.
struct ManyChannels {
    static bool isReader(uint32_t number) { return number % 5 == 2; }
    static bool isWriter(uint32_t number) { return number % 5 == 1; }
    static constexpr uint32_t kOverridingOffset = 0xABC0;
    static uint32_t baseOffset(uint32_t number) { return 0x100000 + 0x40 * number; }
    static uint32_t windowOffset(uint32_t number) { return 0x4000000 + 0x40 * number; }

    static DocumentParts parts(uint32_t count) {
        DocumentParts parts;
        parts.channels.clear();
        parts.blocks.clear();
        for (uint32_t number = 0; number < count; ++number) {
            const std::string window =
                "<WriteWindowAddressTag>Window" +
                std::to_string(isWriter(number) ? number + 1 : number) +
                "</WriteWindowAddressTag><WriteWindowSize>64</WriteWindowSize>";
            const char* implementation = isReader(number)   ? "zyFpgaPeerToPeerReader"
                                         : isWriter(number) ? "zyFpgaPeerToPeerWriter"
                                                            : "zyFpgaTargetToHost";
            parts.channels += channel("Stream " + std::to_string(number), std::to_string(number),
                                      "Dma" + std::to_string(number), implementation, "<U32/>",
                                      isReader(number) || isWriter(number) ? window : "");
        }
        for (uint32_t number = count; number-- > 0;) {
            if (isReader(number)) {
                parts.blocks += registerBlock("Window" + std::to_string(number),
                                              std::to_string(windowOffset(number)));
            }
            parts.blocks +=
                registerBlock("Dma" + std::to_string(number), std::to_string(baseOffset(number)));
        }
        parts.blocks += registerBlock("Unrelated", "0x10") +
                        registerBlock("Dma0", std::to_string(kOverridingOffset));
        return parts;
    }
};

}  // namespace zytest

// Bitfile documents for the tests: a small valid design whose parts a test replaces.
#pragma once

#include <string>
#include <utility>

namespace zytest {

// Replaces the first occurrence of from (which must occur) by to.
inline std::string replaced(std::string text, const std::string& from, const std::string& to) {
    const std::size_t at = text.find(from);
    if (at == std::string::npos) return "<!-- " + from + " not found -->";
    return text.replace(at, from.size(), to);
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
// one U32 indicator. Markers a test may replace: TARGET, CHANNELS, BLOCKS, REGISTERS, EXTRA.
inline std::string bitfileDocument() {
    return "<?xml version=\"1.0\"?>\n<Bitfile>"
           "<BitfileVersion>8.0</BitfileVersion>"
           "<SignatureRegister>0123456789ABCDEF0123456789ABCDEF</SignatureRegister>"
           "<Project><TargetClass>TARGET</TargetClass>"
           "<AutoRunWhenDownloaded>false</AutoRunWhenDownloaded>"
           "<CompilationResultsTree><CompilationResults><ZyFpga><DmaChannelAllocationList>"
           "CHANNELS"
           "</DmaChannelAllocationList><RegisterBlockList>BLOCKS</RegisterBlockList></ZyFpga>"
           "</CompilationResults></CompilationResultsTree></Project>"
           "<VI><RegisterList>REGISTERS</RegisterList>"
           "<Icon><Image>AAAA</Image><Mask>BBBB</Mask><Colors>CCCC</Colors></Icon></VI>"
           "<BitstreamVersion>2</BitstreamVersion>EXTRA"
           "<Bitstream>AAECAw==</Bitstream></Bitfile>\n";
}

struct DocumentParts {
    std::string target = "Ostrel-7976";
    std::string channels = channel("Samples", "0", "Dma0", "zyFpgaTargetToHost", "<I32/>");
    std::string blocks = registerBlock("Dma0", "0x1800");
    std::string registers = internalRegister("ViSignature", "0x7FF0") +
                            internalRegister("ViControl", "0x7FF4") +
                            userRegister("Count", "0x20", "<U32/>");
    std::string extra;

    std::string text() const {
        std::string document = bitfileDocument();
        for (const auto& [marker, part] :
             {std::make_pair("TARGET", &target), std::make_pair("CHANNELS", &channels),
              std::make_pair("BLOCKS", &blocks), std::make_pair("REGISTERS", &registers),
              std::make_pair("EXTRA", &extra)}) {
            document = replaced(document, marker, *part);
        }
        return document;
    }
};

}  // namespace zytest

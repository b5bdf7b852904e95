// Bitfile documents for the tests: a small valid design whose parts a test replaces.
#pragma once

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

}  // namespace zytest

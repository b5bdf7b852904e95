// Parsing bitfile documents: the sample design, the value rules and every rejection.
#include <gtest/gtest.h>

#include <string>

#include "bitfile/BitfileDocuments.h"
#include "bitfile/Bitfile.h"
#include "status/Exception.h"
#include "status/StatusCodes.h"

namespace {

using zyrask::Bitfile;
using zytest::DocumentParts;
using zytest::replaced;

constexpr int32_t kMalformed = zyerr::codes::BitfileMalformed;
constexpr int32_t kIncompatible = zyerr::codes::BitfileIncompatible;

// 0 when text parses, else the status the parser threw.
int32_t parseStatus(const std::string& text, bool parseBitstream = false) {
    try {
        Bitfile bitfile(text, false, parseBitstream);
        return 0;
    } catch (const zyerr::Exception& exception) {
        return exception.code();
    }
}

Bitfile parsed(const std::string& text, bool parseBitstream = false) {
    return Bitfile(text, false, parseBitstream);
}

TEST(SampleBitfile, ReadsEveryPartOfTheDesign) {
    const Bitfile bitfile(ZY_SAMPLE_BITFILE, true, true);
    EXPECT_EQ(bitfile.bitfileVersionMajor(), 4u);
    EXPECT_EQ(bitfile.bitfileVersionMinor(), 0u);
    EXPECT_EQ(bitfile.signature(), "5A0C3F9B17E24D6880A1B2C3D4E5F601");
    EXPECT_EQ(bitfile.targetClass(), "Ostrel-7976");
    EXPECT_FALSE(bitfile.autoRunWhenDownloaded());
    EXPECT_TRUE(bitfile.allowImplicitEnableRemoval());
    EXPECT_FALSE(bitfile.resetNotSupported());
    EXPECT_FALSE(bitfile.zynqBsEnablePatch());
    EXPECT_EQ(bitfile.baseAddress(), 0x10000u);
    EXPECT_EQ(bitfile.viSignatureOffset(), 0x7FF0u);
    EXPECT_EQ(bitfile.viControlOffset(), 0x7FF4u);
    EXPECT_EQ(bitfile.diagramResetOffset(), 0x7FF8u);
    EXPECT_EQ(bitfile.interruptEnableOffset(), 0x100u);
    EXPECT_EQ(bitfile.interruptStatusOffset(), 0x10Cu);
    EXPECT_EQ(bitfile.dram2DpBaseAddress(), 0x15000u);  // an HMB child and no explicit address
    EXPECT_EQ(bitfile.bitstreamVersion(), 3u);
    EXPECT_EQ(bitfile.bitstreamMd5(), "0f1e2d3c4b5a69788796a5b4c3d2e1f0");
    const std::string expected = std::string("ZYOSTREL-SAMPLE-BITSTREAM") + '\0' + "\x01\x02\x03\xfe\xff";
    EXPECT_EQ(std::string(bitfile.bitstream().begin(), bitfile.bitstream().end()), expected);
}

TEST(SampleBitfile, RegistersCarryKindTypeAndAddress) {
    const Bitfile bitfile(ZY_SAMPLE_BITFILE, true, false);
    ASSERT_EQ(bitfile.registers().size(), 6u);  // internal registers are not listed
    const auto* gain = bitfile.findRegister("Gain & Offset");
    ASSERT_NE(gain, nullptr);
    EXPECT_EQ(gain->descriptor.access(), zyrask::RegisterAccess::Control);
    EXPECT_EQ(gain->descriptor.type.typeId, zyrask::TypeId::Fxp);
    EXPECT_EQ(gain->descriptor.type.sizeInBits, 20u);
    EXPECT_EQ(gain->descriptor.type.transferSizeBytes, 4u);
    EXPECT_FALSE(gain->descriptor.type.isSigned);
    EXPECT_EQ(gain->descriptor.type.integerWordLength, static_cast<uint32_t>(-2));

    const auto* coefficients = bitfile.findRegister("Coefficients");
    ASSERT_NE(coefficients, nullptr);
    EXPECT_EQ(coefficients->descriptor.access(), zyrask::RegisterAccess::ControlArray);
    EXPECT_EQ(coefficients->descriptor.type.typeId, zyrask::TypeId::I16);
    const auto* levels = bitfile.findRegister("Channel Levels");
    ASSERT_NE(levels, nullptr);
    EXPECT_EQ(levels->descriptor.access(), zyrask::RegisterAccess::IndicatorArray);
    EXPECT_EQ(levels->descriptor.type.typeId, zyrask::TypeId::Dbl);

    const auto* count = bitfile.findRegister("Sample Count");
    ASSERT_NE(count, nullptr);
    EXPECT_EQ(count->getResourceId(), 0x80000000u | (0x10000u + 0x8020u));
    EXPECT_EQ(bitfile.findRegister("ViSignature"), nullptr);
}

TEST(SampleBitfile, FifosAreResolvedFromTheirRegisterBlocks) {
    const Bitfile bitfile(ZY_SAMPLE_BITFILE, true, false);
    ASSERT_EQ(bitfile.fifos().size(), 4u);
    for (std::size_t i = 0; i < bitfile.fifos().size(); ++i) {
        EXPECT_EQ(bitfile.fifos()[i].number, i);
        EXPECT_TRUE(bitfile.fifos()[i].isComplete());
    }
    const auto& waveform = bitfile.fifos()[1];
    EXPECT_EQ(waveform.name, "AO Waveform");
    EXPECT_EQ(waveform.baseAddress, 0x1840u);
    EXPECT_EQ(waveform.descriptor.type.typeId, zyrask::TypeId::Fxp);
    EXPECT_EQ(waveform.descriptor.type.transferSizeBytes, 4u);  // 24 bits travel in 4 bytes

    const auto& peer = bitfile.fifos()[2];
    EXPECT_EQ(peer.descriptor.implementation(), zyrask::FifoImplementation::PeerToPeerReader);
    EXPECT_EQ(peer.descriptor.type.typeId, zyrask::TypeId::U64);  // from the SubType text
    EXPECT_EQ(peer.writeWindowAddress, 0x20000u);
    EXPECT_EQ(peer.writeWindowSize, 0x1000u);
    EXPECT_FALSE(peer.userVisible);
    EXPECT_EQ(peer.getResourceId(), 2u);

    const auto& events = bitfile.fifos()[3];
    EXPECT_EQ(events.descriptor.type.typeId, zyrask::TypeId::Composite);
    EXPECT_EQ(events.descriptor.type.sizeInBits, 128u);
    EXPECT_EQ(events.descriptor.type.transferSizeBytes, 16u);
}

TEST(SampleBitfile, MetadataDropsIconAndBitstreamAndParsesAgain) {
    const Bitfile bitfile(ZY_SAMPLE_BITFILE, true, false);
    const std::string& metadata = bitfile.metadataText();
    EXPECT_EQ(metadata.find("WllPU1RS"), std::string::npos);
    EXPECT_EQ(metadata.find("iVBORw0K"), std::string::npos);
    EXPECT_NE(metadata.find("<Bitstream/>"), std::string::npos);
    // Texts keep their escapes exactly once: nothing is decoded or encoded twice.
    EXPECT_NE(metadata.find("Gain &amp; Offset"), std::string::npos);
    EXPECT_EQ(metadata.find("&amp;amp;"), std::string::npos);

    const Bitfile again(metadata, false, false);
    EXPECT_EQ(again.signature(), bitfile.signature());
    EXPECT_EQ(again.registers().size(), bitfile.registers().size());
    EXPECT_NE(again.findRegister("Gain & Offset"), nullptr);
    EXPECT_EQ(again.metadataText(), metadata);
    EXPECT_NE(bitfile.compilationResultsText().find("<DmaChannelAllocationList>"), std::string::npos);
    EXPECT_EQ(bitfile.targetSpecificDataText(), "<TargetSpecificData>\n\t<HMB/>\n</TargetSpecificData>\n");
}

TEST(DocumentText, ByteOrderMarkIsSkipped) {
    const std::string text = DocumentParts().text();
    EXPECT_EQ(parseStatus("\xEF\xBB\xBF" + text), 0);
    EXPECT_EQ(parsed("\xEF\xBB\xBF" + text).signature(), parsed(text).signature());
}

TEST(DocumentText, OldestCompatibleVersionSevenIsReadableEightIsNot) {
    DocumentParts parts;
    parts.extra = "<OldestCompatibleMajorBitfileVersion>7</OldestCompatibleMajorBitfileVersion>";
    EXPECT_EQ(parseStatus(parts.text()), 0);
    parts.extra = "<OldestCompatibleMajorBitfileVersion>8</OldestCompatibleMajorBitfileVersion>";
    EXPECT_EQ(parseStatus(parts.text()), kIncompatible);
}

TEST(DocumentText, BooleansIgnoreLetterCaseAndAcceptNoOtherWord) {
    const std::string text = DocumentParts().text();
    const std::string upper = replaced(text, "<AutoRunWhenDownloaded>false", "<AutoRunWhenDownloaded>TRUE");
    EXPECT_TRUE(parsed(upper).autoRunWhenDownloaded());
    EXPECT_EQ(parseStatus(replaced(text, "<AutoRunWhenDownloaded>false", "<AutoRunWhenDownloaded>yes")),
              kMalformed);
    EXPECT_EQ(parseStatus(replaced(text, "<AutoRunWhenDownloaded>false", "<AutoRunWhenDownloaded> true")),
              kMalformed);
}

TEST(DocumentText, NumbersTakeTheirBaseFromThePrefix) {
    DocumentParts parts;
    parts.registers += zytest::userRegister("Hex", "0x10", "<U8/>") +
                       zytest::userRegister("Octal", "010", "<U8/>") +
                       zytest::userRegister("Decimal", "10 trailing text", "<U8/>");
    const Bitfile bitfile = parsed(parts.text());
    EXPECT_EQ(bitfile.findRegister("Hex")->offset, 16u);
    EXPECT_EQ(bitfile.findRegister("Octal")->offset, 8u);
    EXPECT_EQ(bitfile.findRegister("Decimal")->offset, 10u);
}

TEST(DocumentText, UnreadableNumbersAreMalformed) {
    for (const char* offset : {"", "x10", "-4", "0x100000000", "4294967296"}) {
        DocumentParts parts;
        parts.registers += zytest::userRegister("Bad", offset, "<U8/>");
        EXPECT_EQ(parseStatus(parts.text()), kMalformed) << offset;
    }
    DocumentParts largest;
    largest.registers += zytest::userRegister("Top", "0xFFFFFFFF", "<U8/>");
    EXPECT_EQ(parsed(largest.text()).findRegister("Top")->offset, 0xFFFFFFFFu);
}

TEST(DocumentText, EntitiesAreDecodedWithAmpersandLast) {
    DocumentParts parts;
    parts.registers += zytest::userRegister("A &amp;lt; B &lt; C &quot;&apos;&gt;", "4", "<U8/>");
    const Bitfile bitfile = parsed(parts.text());
    ASSERT_EQ(bitfile.registers().size(), 2u);
    EXPECT_EQ(bitfile.registers()[1].name, "A &lt; B < C \"'>");
}

TEST(DocumentText, InterruptOffsetsDefaultFromWhatIsGiven) {
    const Bitfile plain = parsed(DocumentParts().text());
    EXPECT_EQ(plain.interruptEnableOffset(), 0x1FFE4u);
    EXPECT_EQ(plain.interruptStatusOffset(), 0x1FFF0u);
    EXPECT_EQ(plain.diagramResetOffset(), 0x7FFCu);

    DocumentParts parts;
    parts.registers += zytest::internalRegister("InterruptEnable", "0x100") +
                       zytest::internalRegister("SomethingElse", "0x200");
    const Bitfile enabled = parsed(parts.text());
    EXPECT_EQ(enabled.interruptEnableOffset(), 0x100u);
    EXPECT_EQ(enabled.interruptStatusOffset(), 0x10Cu);
    EXPECT_EQ(enabled.registers().size(), 1u);
}

TEST(DocumentText, RequiredInternalRegistersMustBePresent) {
    DocumentParts parts;
    parts.registers = zytest::internalRegister("ViSignature", "0x7FF0");
    EXPECT_EQ(parseStatus(parts.text()), kMalformed);
    parts.registers = zytest::internalRegister("ViControl", "0x7FF0");
    EXPECT_EQ(parseStatus(parts.text()), kMalformed);
}

TEST(DocumentText, BaseAddressFollowsTheTargetClass) {
    DocumentParts parts;
    parts.registers += zytest::userRegister("Slow", "4", "<U32/>", true, true);
    EXPECT_EQ(parsed(parts.text()).findRegister("Slow")->getResourceId(), 0x80008004u);
    for (const char* target : {"TargetAlpha", "TargetBeta", "TargetGamma", "TargetDelta", "TargetEpsilon"}) {
        parts.target = target;
        const Bitfile bitfile = parsed(parts.text());
        EXPECT_EQ(bitfile.baseAddress(), 0u) << target;
        EXPECT_EQ(bitfile.findRegister("Slow")->getResourceId(), 0x80000004u) << target;
    }
    parts.target = "targetalpha";
    EXPECT_EQ(parsed(parts.text()).baseAddress(), 0x8000u);
}

TEST(DocumentText, SignatureAndVersionHaveFixedForms) {
    const std::string text = DocumentParts().text();
    EXPECT_EQ(parseStatus(replaced(text, "0123456789ABCDEF0123456789ABCDEF", "0123456789ABCDEF0123456789ABCDE")),
              kMalformed);
    EXPECT_EQ(parseStatus(replaced(text, "0123456789ABCDEF0123456789ABCDEF", "0123456789ABCDEF0123456789ABCDEF0")),
              kMalformed);
    // An entity counts as the one character it stands for.
    EXPECT_EQ(parseStatus(replaced(text, "0123456789ABCDEF0123456789ABCDEF", "&amp;123456789ABCDEF0123456789ABCDEF")),
              0);
    for (const char* version : {"8", "8.", ".1", "8.x", "8.0.1", "0x8.0"}) {
        EXPECT_EQ(parseStatus(replaced(text, "<BitfileVersion>8.0", std::string("<BitfileVersion>") + version)),
                  kMalformed)
            << version;
    }
    const Bitfile bitfile = parsed(replaced(text, "<BitfileVersion>8.0", "<BitfileVersion>12.34"));
    EXPECT_EQ(bitfile.bitfileVersionMajor(), 12u);
    EXPECT_EQ(bitfile.bitfileVersionMinor(), 34u);
}

TEST(DocumentText, MissingRequiredElementsAreMalformed) {
    const std::string text = DocumentParts().text();
    for (const char* element : {"<BitfileVersion>", "<SignatureRegister>", "<TargetClass>",
                                "<AutoRunWhenDownloaded>", "<BitstreamVersion>", "<Bitstream>",
                                "<Image>", "<Mask>", "<Colors>", "<RegisterList>", "<Icon>",
                                "<DmaChannelAllocationList>", "<CompilationResults>"}) {
        const std::string tag(element);
        const std::string renamed = "<Other" + tag.substr(1);
        const std::string closing = "</" + tag.substr(1);
        const std::string text2 = replaced(replaced(text, tag, renamed), closing, "</Other" + tag.substr(1));
        EXPECT_EQ(parseStatus(text2), kMalformed) << element;
    }
}

TEST(DocumentText, MissingPartsOfRegistersChannelsAndBlocksAreMalformed) {
    auto without = [](const std::string& text, const std::string& element) {
        const std::size_t open = text.find("<" + element + ">");
        const std::string closing = "</" + element + ">";
        const std::size_t close = text.find(closing, open);
        if (open == std::string::npos || close == std::string::npos) {
            ADD_FAILURE() << element << " is not in the document";
            return text;
        }
        return std::string(text).erase(open, close + closing.size() - open);
    };
    DocumentParts parts;
    const std::string required = zytest::internalRegister("ViSignature", "0x7FF0") +
                                 zytest::internalRegister("ViControl", "0x7FF4");
    for (const char* element : {"Name", "Offset", "Internal"}) {
        parts.registers = required + without(zytest::internalRegister("Other", "0x10"), element);
        EXPECT_EQ(parseStatus(parts.text()), kMalformed) << element;
    }
    parts.registers = required + zytest::userRegister("Count", "0x20", "<U32/>");
    const std::string text = parts.text();
    EXPECT_EQ(parseStatus(text), 0);
    for (const char* element : {"Indicator", "AccessMayTimeout", "Datatype", "Number", "NumberOfElements",
                                "BaseAddressTag", "Implementation", "DataType", "UserVisible", "Project",
                                "VI", "CompilationResultsTree", "ZyFpga"}) {
        EXPECT_EQ(parseStatus(without(text, element)), kMalformed) << element;
    }
    // The block's Offset is the register block list's only Offset before the registers.
    EXPECT_EQ(parseStatus(replaced(text, "<Offset>0x1800</Offset>", "")), kMalformed);
    EXPECT_EQ(parseStatus(replaced(text, "<Channel name=", "<Channel title=")), kMalformed);
    EXPECT_EQ(parseStatus(replaced(text, "<RegisterBlock name=", "<RegisterBlock title=")), kMalformed);
    // An array register names its element type inside a Type child.
    parts.registers += zytest::userRegister("Broken", "0x24", "<Array><Size>4</Size></Array>");
    EXPECT_EQ(parseStatus(parts.text()), kMalformed);
}

TEST(DocumentText, NotWellFormedOrTooDeepIsMalformed) {
    EXPECT_EQ(parseStatus(""), kMalformed);
    EXPECT_EQ(parseStatus("<Bitfile>"), kMalformed);
    EXPECT_EQ(parseStatus("<Bitfile><a></Bitfile"), kMalformed);
    EXPECT_EQ(parseStatus("plain text"), kMalformed);
    std::string deep;
    for (int i = 0; i < 100000; ++i) deep += "<a>";
    EXPECT_EQ(parseStatus(deep), kMalformed);
    std::string deepClosed = deep;
    for (int i = 0; i < 100000; ++i) deepClosed += "</a>";
    EXPECT_EQ(parseStatus(deepClosed), kMalformed);
}

TEST(DocumentText, FileThatCannotBeReadIsUnreadable) {
    try {
        Bitfile bitfile("/nonexistent/bitfile.xml", true, false);
        FAIL() << "a missing file parsed";
    } catch (const zyerr::Exception& exception) {
        EXPECT_EQ(exception.code(), zyerr::codes::BitfileUnreadable);
    }
    try {
        Bitfile bitfile("/", true, false);  // a directory opens but cannot be read
        FAIL() << "a directory parsed";
    } catch (const zyerr::Exception& exception) {
        EXPECT_EQ(exception.code(), zyerr::codes::BitfileUnreadable);
    }
}

TEST(DocumentText, BitstreamIsDecodedOnlyWhenAsked) {
    DocumentParts parts;
    EXPECT_TRUE(parsed(parts.text()).bitstream().empty());
    const Bitfile decoded = parsed(parts.text(), true);
    EXPECT_EQ(decoded.bitstream(), (std::vector<uint8_t>{0, 1, 2, 3}));

    parts.extra = "<BitstreamEncoding>BASE64</BitstreamEncoding>";
    EXPECT_EQ(parseStatus(parts.text(), true), 0);
    parts.extra = "<BitstreamEncoding>base32</BitstreamEncoding>";
    EXPECT_EQ(parseStatus(parts.text(), true), kIncompatible);
    EXPECT_EQ(parseStatus(parts.text(), false), 0);

    // The encoding is judged before the bitstream itself is looked for.
    const std::string withoutBitstream = replaced(parts.text(), "<Bitstream>AAECAw==</Bitstream>", "");
    EXPECT_EQ(parseStatus(withoutBitstream, true), kIncompatible);
    EXPECT_EQ(parseStatus(withoutBitstream, false), kMalformed);
}

TEST(Registers, TypesComeFromTheElementThatNamesThemAndSizesFromTheRegister) {
    DocumentParts parts;
    parts.registers +=
        zytest::userRegister("Blob", "0x24", "<Cluster/>", true, false,
                             "<TransferSizeBytes>0xE0000006</TransferSizeBytes>") +
        zytest::userRegister("Packed", "0x28", "<Array><Type><Cluster/></Type></Array>", false, false,
                             "<SizeInBits>12</SizeInBits>") +
        zytest::userRegister("Fixed", "0x2C",
                             "<Array><Type><FXP><WordLength>40</WordLength><IntegerWordLength>-0x10"
                             "</IntegerWordLength><Signed>TRUE</Signed></FXP></Type></Array>") +
        zytest::userRegister("Odd", "0x30", "<Mystery/>");
    const Bitfile bitfile = parsed(parts.text());

    const zyrask::Type& blob = bitfile.findRegister("Blob")->descriptor.type;
    EXPECT_EQ(blob.typeId, zyrask::TypeId::Composite);
    EXPECT_EQ(blob.transferSizeBytes, 6u);
    EXPECT_EQ(blob.sizeInBits, 48u);

    const auto* packed = bitfile.findRegister("Packed");
    EXPECT_EQ(packed->descriptor.access(), zyrask::RegisterAccess::ControlArray);
    EXPECT_EQ(packed->descriptor.type.typeId, zyrask::TypeId::Composite);
    EXPECT_EQ(packed->descriptor.type.sizeInBits, 12u);
    EXPECT_EQ(packed->descriptor.type.transferSizeBytes, 2u);

    const auto* fixed = bitfile.findRegister("Fixed");
    EXPECT_EQ(fixed->descriptor.access(), zyrask::RegisterAccess::IndicatorArray);
    EXPECT_EQ(fixed->descriptor.type.typeId, zyrask::TypeId::Fxp);
    EXPECT_EQ(fixed->descriptor.type.sizeInBits, 40u);
    EXPECT_EQ(fixed->descriptor.type.transferSizeBytes, 8u);
    EXPECT_TRUE(fixed->descriptor.type.isSigned);
    EXPECT_EQ(fixed->descriptor.type.integerWordLength, static_cast<uint32_t>(-16));

    // A register of a type the model does not know is still listed, with the invalid type.
    EXPECT_EQ(bitfile.findRegister("Odd")->descriptor.type.typeId, zyrask::TypeId::Invalid);
    EXPECT_EQ(bitfile.findRegister("Odd")->getResourceId(), 0x8030u);
}

TEST(DmaChannels, NamesAndTagsAreEntityDecodedBeforeTheyAreMatched) {
    DocumentParts parts;
    parts.channels = zytest::channel("A &amp; B", "0", "Dma&amp;0", "zyFpgaTargetToHost", "<I32/>");
    parts.blocks = zytest::registerBlock("Dma&amp;0", "0x1800");
    const Bitfile bitfile = parsed(parts.text());
    ASSERT_NE(bitfile.findFifo("A & B"), nullptr);
    EXPECT_EQ(bitfile.findFifo("A & B")->baseAddressTag, "Dma&0");
    EXPECT_EQ(bitfile.findFifo("A & B")->baseAddress, 0x1800u);
    // The tag as written (still escaped) names no block.
    parts.blocks = zytest::registerBlock("Dma&amp;amp;0", "0x1800");
    EXPECT_EQ(parseStatus(parts.text()), kMalformed);
}

TEST(DmaChannels, NumbersMustRunWithoutAGap) {
    DocumentParts parts;
    parts.channels += zytest::channel("Second", "2", "Dma2", "zyFpgaTargetToHost", "<I32/>");
    parts.blocks += zytest::registerBlock("Dma2", "0x1880");
    EXPECT_EQ(parseStatus(parts.text()), kMalformed);
    parts.channels += zytest::channel("First", "1", "Dma1", "zyFpgaHostToTarget", "<U8/>");
    parts.blocks += zytest::registerBlock("Dma1", "0x1840");
    const Bitfile bitfile = parsed(parts.text());
    ASSERT_EQ(bitfile.fifos().size(), 3u);
    EXPECT_EQ(bitfile.fifos()[1].name, "First");  // ordered by number, not by document order
    EXPECT_EQ(bitfile.fifos()[2].name, "Second");
}

TEST(DmaChannels, TheFirstChannelOfADuplicateNumberIsKept) {
    DocumentParts parts;
    parts.channels += zytest::channel("Duplicate", "0", "Dma0", "zyFpgaHostToTarget", "<U8/>");
    const Bitfile bitfile = parsed(parts.text());
    ASSERT_EQ(bitfile.fifos().size(), 1u);
    EXPECT_EQ(bitfile.fifos()[0].name, "Samples");
    EXPECT_EQ(bitfile.findFifo("Duplicate"), nullptr);

    // The remaining numbers must still run without a gap.
    parts.channels += zytest::channel("Third", "2", "Dma2", "zyFpgaTargetToHost", "<I32/>");
    parts.blocks += zytest::registerBlock("Dma2", "0x1880");
    EXPECT_EQ(parseStatus(parts.text()), kMalformed);
}

TEST(DmaChannels, TypesAreCheckedForTransfer) {
    auto withType = [](const std::string& dataType, const std::string& extra = "") {
        DocumentParts parts;
        parts.channels = zytest::channel("Samples", "0", "Dma0", "zyFpgaTargetToHost", dataType, extra);
        return parseStatus(parts.text());
    };
    EXPECT_EQ(withType("<Unknown/>"), kMalformed);
    EXPECT_EQ(withType(""), kMalformed);
    EXPECT_EQ(withType("<SubType>Nonsense</SubType>"), kMalformed);
    EXPECT_EQ(withType("<Cluster/>"), kMalformed);  // no size at all: transfer size 0
    EXPECT_EQ(withType("<Cluster/>", "<SizeInBits>24</SizeInBits>"), kIncompatible);
    EXPECT_EQ(withType("<Cluster/>", "<SizeInBits>64</SizeInBits>"), 0);
    EXPECT_EQ(withType("<CFXP/>", "<TransferSizeBytes>0x20000010</TransferSizeBytes>"), 0);
    EXPECT_EQ(withType("<Array/>", "<TransferSizeBytes>6</TransferSizeBytes>"), kIncompatible);
    EXPECT_EQ(withType("<FXP><WordLength>8</WordLength><Signed>true</Signed></FXP>"), kMalformed);
    EXPECT_EQ(withType("<FXP><WordLength>65</WordLength><IntegerWordLength>1</IntegerWordLength>"
                       "<Signed>true</Signed></FXP>"),
              kMalformed);
    EXPECT_EQ(withType("<FXP><WordLength>64</WordLength><IntegerWordLength>-2049</IntegerWordLength>"
                       "<Signed>true</Signed></FXP>"),
              kMalformed);
    EXPECT_EQ(withType("<FXP><WordLength>64</WordLength><IntegerWordLength>-2048</IntegerWordLength>"
                       "<Signed>true</Signed></FXP>"),
              0);
    // With a SubType the FXP parameters are read from DataType itself.
    EXPECT_EQ(withType("<SubType>FXP</SubType><WordLength>12</WordLength>"
                       "<IntegerWordLength>2047</IntegerWordLength><Signed>false</Signed>"),
              0);
}

TEST(DmaChannels, EveryFifoNeedsItsRegisterBlock) {
    DocumentParts parts;
    parts.blocks = zytest::registerBlock("Unrelated", "0x10");
    EXPECT_EQ(parseStatus(parts.text()), kMalformed);

    // A peer-to-peer reader needs its write window as well; the base tag is matched first.
    const std::string reader = zytest::channel(
        "Peer", "1", "Dma1", "zyFpgaPeerToPeerReader", "<U32/>",
        "<WriteWindowAddressTag>Window1</WriteWindowAddressTag><WriteWindowSize>64</WriteWindowSize>");
    parts = DocumentParts();
    parts.channels += reader;
    parts.blocks += zytest::registerBlock("Dma1", "0x1840");
    EXPECT_EQ(parseStatus(parts.text()), kMalformed);
    parts.blocks += zytest::registerBlock("Window1", "0x9000");
    const Bitfile bitfile = parsed(parts.text());
    EXPECT_EQ(bitfile.fifos()[1].baseAddress, 0x1840u);
    EXPECT_EQ(bitfile.fifos()[1].writeWindowAddress, 0x9000u);
    EXPECT_EQ(bitfile.fifos()[1].writeWindowSize, 64u);

    // A window tag on any other kind is not resolved and not required.
    parts = DocumentParts();
    parts.channels += zytest::channel(
        "Writer", "1", "Dma1", "zyFpgaPeerToPeerWriter", "<U32/>",
        "<WriteWindowAddressTag>Window1</WriteWindowAddressTag><WriteWindowSize>64</WriteWindowSize>");
    parts.blocks += zytest::registerBlock("Dma1", "0x1840") + zytest::registerBlock("Window1", "0x9000");
    EXPECT_EQ(parsed(parts.text()).fifos()[1].writeWindowAddress, 0xFFFFFFFFu);
}

TEST(DmaChannels, WriteWindowTagRequiresItsSize) {
    DocumentParts parts;
    parts.channels = zytest::channel("Samples", "0", "Dma0", "zyFpgaTargetToHost", "<I32/>",
                                     "<WriteWindowAddressTag>W</WriteWindowAddressTag>");
    EXPECT_EQ(parseStatus(parts.text()), kMalformed);
}

TEST(DmaChannels, UnknownImplementationIsKeptAsUnknown) {
    DocumentParts parts;
    parts.channels = zytest::channel("Samples", "0", "Dma0", "somethingNew", "<I32/>");
    EXPECT_EQ(parsed(parts.text()).fifos()[0].descriptor.implementation(),
              zyrask::FifoImplementation::Unknown);
}

TEST(TargetData, DramBaseAddressComesFromTheTargetData) {
    const std::string text = DocumentParts().text();
    EXPECT_EQ(parsed(text).dram2DpBaseAddress(), 0xFFFFFFFFu);
    EXPECT_TRUE(parsed(text).targetSpecificDataText().empty());
    auto withData = [&text](const std::string& data) {
        return parsed(replaced(text, "</ZyFpga>", "</ZyFpga><TargetSpecificData>" + data + "</TargetSpecificData>"));
    };
    EXPECT_EQ(withData("<LLB/>").dram2DpBaseAddress(), 0x15000u);
    EXPECT_EQ(withData("<Dram2DPBaseAddress>0x40000</Dram2DPBaseAddress><HMB/>").dram2DpBaseAddress(), 0x40000u);
    EXPECT_EQ(withData("<Dram2DPBaseAddress>0xFFFFFFFF</Dram2DPBaseAddress><HMB/>").dram2DpBaseAddress(), 0x15000u);
    EXPECT_EQ(withData("<Other/>").dram2DpBaseAddress(), 0xFFFFFFFFu);
}

TEST(TargetData, ProjectFlagsCountByPresence) {
    const std::string text = DocumentParts().text();
    const Bitfile flagged = parsed(replaced(
        text, "<CompilationResultsTree>",
        "<ResetNotSupported/><AbortNotSupported>false</AbortNotSupported><CompilationResultsTree>"));
    EXPECT_TRUE(flagged.resetNotSupported());
    EXPECT_TRUE(flagged.abortNotSupported());
    const Bitfile patched = parsed(replaced(text, "<ZyFpga>", "<ZyRask><ZynqBsEnablePatch>True</ZynqBsEnablePatch></ZyRask><ZyFpga>"));
    EXPECT_TRUE(patched.zynqBsEnablePatch());
    EXPECT_EQ(parseStatus(replaced(text, "<ZyFpga>", "<ZyRask><ZynqBsEnablePatch>1</ZynqBsEnablePatch></ZyRask><ZyFpga>")),
              kMalformed);
}

}  // namespace

// Parsing bitfile documents: the sample design, the value rules and every rejection.
#include <gtest/gtest.h>

#include <set>
#include <string>
#include <tuple>
#include <vector>

#include "bitfile/Bitfile.h"
#include "bitfile/BitfileDocuments.h"
#include "status/StatusCodes.h"
#include "tests/status/StatusExpect.h"

namespace {

using zyrask::Bitfile;
using zyrask::TypeId;
using zytest::DocumentParts;
using zytest::replaced;
using zytest::userRegister;

constexpr int32_t kMalformed = zyerr::codes::BitfileMalformed;
constexpr int32_t kIncompatible = zyerr::codes::BitfileIncompatible;

// What parsing the document (the file at text when isPath) threw; compares equal to 0 when it
// parsed.
zytest::Thrown parseStatus(const std::string& text, bool parseBitstream = false,
                           bool isPath = false) {
    return zytest::thrownBy([&] { Bitfile(text, isPath, parseBitstream); });
}

Bitfile parsed(const std::string& text, bool parseBitstream = false) {
    return Bitfile(text, false, parseBitstream);
}

// The id, size in bits and transfer size of a type, compared in one piece.
std::tuple<TypeId, uint32_t, uint32_t> shapeOf(const zyrask::Type& type) {
    return {type.typeId, type.sizeInBits, type.transferSizeBytes};
}

TEST(SampleBitfile, ReadsEveryPartOfTheDesign) {
    const Bitfile bitfile(ZY_SAMPLE_BITFILE, true, true);
    EXPECT_EQ(
        std::make_tuple(bitfile.signature(), bitfile.bitstreamMd5(), bitfile.bitstreamVersion()),
        std::make_tuple("5A0C3F9B17E24D6880A1B2C3D4E5F601", "0f1e2d3c4b5a69788796a5b4c3d2e1f0",
                        3u));
    EXPECT_EQ(
        (std::vector<bool>{bitfile.autoRunWhenDownloaded(), bitfile.allowImplicitEnableRemoval(),
                           bitfile.resetNotSupported(), bitfile.zynqBsEnablePatch()}),
        (std::vector<bool>{false, true, false, false}));
    EXPECT_EQ((std::vector<uint32_t>{bitfile.baseAddress(), bitfile.viSignatureOffset(),
                                     bitfile.viControlOffset(), bitfile.diagramResetOffset()}),
              (std::vector<uint32_t>{0x10000, 0x7FF0, 0x7FF4, 0x7FF8}));
    const std::string expected =
        std::string("ZYOSTREL-SAMPLE-BITSTREAM") + '\0' + "\x01\x02\x03\xfe\xff";
    EXPECT_EQ(std::string(bitfile.bitstream().begin(), bitfile.bitstream().end()), expected);

    const auto& gain = bitfile.findRegister("Gain & Offset")->descriptor;
    EXPECT_EQ(shapeOf(gain.type), std::make_tuple(TypeId::Fxp, 20u, 4u));
    EXPECT_FALSE(gain.type.isSigned);

    ASSERT_EQ(bitfile.fifos().size(), 4u);
    EXPECT_EQ(shapeOf(bitfile.fifos()[1].descriptor.type), std::make_tuple(TypeId::Fxp, 24u, 4u));
    const auto& peer = bitfile.fifos()[2];
    EXPECT_EQ(peer.descriptor.implementation(), zyrask::FifoImplementation::PeerToPeerReader);
    EXPECT_EQ(peer.descriptor.type.typeId, TypeId::U64);  // from the SubType text
    EXPECT_FALSE(peer.userVisible);
    EXPECT_EQ(peer.getResourceId(), 2u);
    EXPECT_EQ(shapeOf(bitfile.fifos()[3].descriptor.type),
              std::make_tuple(TypeId::Composite, 128u, 16u));

    // The metadata drops icon and bitstream and parses again.
    const std::string& metadata = bitfile.metadataText();
    EXPECT_EQ(metadata.find("WllPU1RS"), std::string::npos);
    EXPECT_EQ(metadata.find("iVBORw0K"), std::string::npos);
    EXPECT_NE(metadata.find("<Bitstream/>"), std::string::npos);
    // Texts keep their escapes exactly once: nothing is decoded or encoded twice.
    EXPECT_NE(metadata.find("Gain &amp; Offset"), std::string::npos);
    EXPECT_EQ(metadata.find("&amp;amp;"), std::string::npos);

    const Bitfile again(metadata, false, false);
    EXPECT_NE(again.findRegister("Gain & Offset"), nullptr);
    EXPECT_EQ(again.metadataText(), metadata);
    EXPECT_NE(bitfile.compilationResultsText().find("<DmaChannelAllocationList>"),
              std::string::npos);
    EXPECT_EQ(bitfile.targetSpecificDataText(),
              "<TargetSpecificData>\n\t<HMB/>\n</TargetSpecificData>\n");
}

TEST(DocumentText, NumbersTakeTheirBaseFromThePrefix) {
    const std::pair<const char*, uint32_t> rows[] = {
        {"0x10", 16}, {"010", 8}, {"10 trailing text", 10}, {"0xFFFFFFFF", 0xFFFFFFFF}};
    for (const auto& [offset, value] : rows) {
        DocumentParts parts;
        parts.registers += userRegister("Other", offset, "<U8/>");
        EXPECT_EQ(parsed(parts.text()).findRegister("Other")->offset, value) << offset;
    }
}

TEST(DocumentText, EntitiesAreDecodedWithAmpersandLast) {
    DocumentParts parts;
    parts.registers += userRegister("A &amp;lt; B &lt; C &quot;&apos;&gt;", "4", "<U8/>");
    const Bitfile bitfile = parsed(parts.text());
    ASSERT_EQ(bitfile.registers().size(), 2u);
    EXPECT_EQ(bitfile.registers()[1].name, "A &lt; B < C \"'>");

    // Channel names and block tags are decoded before they are matched.
    parts.channels = zytest::channel("A &amp; B", "0", "Dma&amp;0", "zyFpgaTargetToHost", "<I32/>");
    parts.blocks = zytest::registerBlock("Dma&amp;0", "0x1800");
    const Bitfile decoded = parsed(parts.text());
    ASSERT_NE(decoded.findFifo("A & B"), nullptr);
    EXPECT_EQ(decoded.findFifo("A & B")->baseAddressTag, "Dma&0");
    EXPECT_EQ(decoded.findFifo("A & B")->baseAddress, 0x1800u);
    // The tag as written (still escaped) names no block.
    parts.blocks = zytest::registerBlock("Dma&amp;amp;0", "0x1800");
    EXPECT_EQ(parseStatus(parts.text()), kMalformed);
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

TEST(DocumentText, BaseAddressFollowsTheTargetClass) {
    DocumentParts parts;
    parts.registers += userRegister("Slow", "4", "<U32/>", true, true);
    EXPECT_EQ(parsed(parts.text()).findRegister("Slow")->getResourceId(), 0x80008004u);
    for (const char* target :
         {"TargetAlpha", "TargetBeta", "TargetGamma", "TargetDelta", "TargetEpsilon"}) {
        parts.target = target;
        const Bitfile bitfile = parsed(parts.text());
        EXPECT_EQ(bitfile.baseAddress(), 0u) << target;
        EXPECT_EQ(bitfile.findRegister("Slow")->getResourceId(), 0x80000004u) << target;
    }
    parts.target = "targetalpha";
    EXPECT_EQ(parsed(parts.text()).baseAddress(), 0x8000u);
}

// Each row changes one part of a valid document and names the status that gives.
TEST(DocumentText, EachChangedPartGivesItsStatus) {
    struct Row {
        std::string from, to;
        int32_t status;
    };
    const std::string signature = "0123456789ABCDEF0123456789ABCDEF";
    const std::string oldest = "<OldestCompatibleMajorBitfileVersion>";
    std::vector<Row> rows = {
        {"<?xml", "\xEF\xBB\xBF<?xml", 0},  // a byte order mark is skipped
        {signature, signature.substr(1), kMalformed},
        {signature, signature + "0", kMalformed},
        {signature, "&amp;" + signature.substr(1), 0},  // an entity counts as one character
        {zytest::internalRegister("ViControl", "0x7FF4"), "", kMalformed},
        {"<Channel name=", "<Channel title=", kMalformed},
        {"<RegisterBlock name=", "<RegisterBlock title=", kMalformed},
        {"<RegisterBlock name=\"Dma0\"", "<RegisterBlock name=\"Unrelated\"", kMalformed},
        // An array register names its element type inside a Type child.
        {"<Datatype><U32/>", "<Datatype><Array><Size>4</Size></Array>", kMalformed},
        {"</UserVisible>", "</UserVisible><WriteWindowAddressTag>W</WriteWindowAddressTag>",
         kMalformed},
        {"<ZyFpga>", "<ZyRask><ZynqBsEnablePatch>1</ZynqBsEnablePatch></ZyRask><ZyFpga>",
         kMalformed},
        // Booleans accept no other word; the oldest compatible major version is 7.
        {"<AutoRunWhenDownloaded>false", "<AutoRunWhenDownloaded>yes", kMalformed},
        {"<AutoRunWhenDownloaded>false", "<AutoRunWhenDownloaded> true", kMalformed},
        {"<Bitstream>", oldest + "7</OldestCompatibleMajorBitfileVersion><Bitstream>", 0},
        {"<Bitstream>", oldest + "8</OldestCompatibleMajorBitfileVersion><Bitstream>",
         kIncompatible},
    };
    for (const char* version : {"8", "8.", ".1", "8.x", "8.0.1", "0x8.0"}) {
        rows.push_back(
            {"<BitfileVersion>8.0", std::string("<BitfileVersion>") + version, kMalformed});
    }
    for (const char* offset : {"", "x10", "-4", "0x100000000", "4294967296"}) {
        rows.push_back({"<Offset>0x20<", std::string("<Offset>") + offset + "<", kMalformed});
    }
    const std::string text = DocumentParts().text();
    for (const Row& row : rows) {
        SCOPED_TRACE(row.from + " -> " + row.to);
        EXPECT_EQ(parseStatus(replaced(text, row.from, row.to)), row.status);
    }
    const Bitfile bitfile = parsed(replaced(text, "<BitfileVersion>8.0", "<BitfileVersion>12.34"));
    EXPECT_EQ(bitfile.bitfileVersionMajor(), 12u);
    EXPECT_EQ(bitfile.bitfileVersionMinor(), 34u);
}

// Every element of the small document is required but the one channel (a design may have no
// FIFO); a further internal register needs its offset as well (the first offset in the
// document is the register block's).
TEST(DocumentText, MissingRequiredElementsAreMalformed) {
    auto without = [](const std::string& text, const std::string& element) {
        const std::size_t open = text.find("<" + element + ">");
        const std::string closing = "</" + element + ">";
        const std::size_t close = text.find(closing, open);
        return std::string(text).erase(open, close + closing.size() - open);
    };
    const std::string text = DocumentParts().text();
    std::set<std::string> seen;
    for (std::size_t at = text.find('<'); at != std::string::npos; at = text.find('<', at + 1)) {
        const std::size_t end = text.find_first_of("/>? ", at + 1);
        const std::string element = text.substr(at + 1, end - at - 1);
        if (text[end] != '>' || element == "Channel" || !seen.insert(element).second) continue;
        EXPECT_EQ(parseStatus(without(text, element)), kMalformed) << element;
    }
    EXPECT_GT(seen.size(), 30u);
    DocumentParts parts;
    parts.registers += without(zytest::internalRegister("Other", "0x10"), "Offset");
    EXPECT_EQ(parseStatus(parts.text()), kMalformed);
}

TEST(DocumentText, NotWellFormedTooDeepOrUnreadableIsRefused) {
    std::string deep;
    for (int i = 0; i < 100000; ++i) deep += "<a>";
    for (int i = 0; i < 100000; ++i) deep += "</a>";
    for (const std::string& text :
         {std::string(), std::string("<Bitfile>"), std::string("<Bitfile><a></Bitfile"), deep}) {
        EXPECT_EQ(parseStatus(text), kMalformed) << text.substr(0, 30);
    }
    EXPECT_EQ(parseStatus("/nonexistent/bitfile.xml", false, true),
              zyerr::codes::BitfileUnreadable);
    EXPECT_EQ(parseStatus("/", false, true), zyerr::codes::BitfileUnreadable);
}

TEST(DocumentText, BitstreamIsDecodedOnlyWhenAsked) {
    DocumentParts parts;
    EXPECT_TRUE(parsed(parts.text()).bitstream().empty());
    EXPECT_EQ(parsed(parts.text(), true).bitstream(), (std::vector<uint8_t>{0, 1, 2, 3}));

    parts.extra = "<BitstreamEncoding>BASE64</BitstreamEncoding>";
    EXPECT_EQ(parseStatus(parts.text(), true), 0);
    parts.extra = "<BitstreamEncoding>base32</BitstreamEncoding>";
    EXPECT_EQ(parseStatus(parts.text(), true), kIncompatible);
    EXPECT_EQ(parseStatus(parts.text(), false), 0);

    // The encoding is judged before the bitstream itself is looked for.
    const std::string withoutBitstream =
        replaced(parts.text(), "<Bitstream>AAECAw==</Bitstream>", "");
    EXPECT_EQ(parseStatus(withoutBitstream, true), kIncompatible);
    EXPECT_EQ(parseStatus(withoutBitstream, false), kMalformed);
}

// Without its bitstream the document is parsed with the bitstream's text left out; whatever
// surrounds that text, the model reads as it does with the bitstream.
TEST(DocumentText, BitstreamTextIsLeftOutWithoutChangingTheModel) {
    const std::string text = DocumentParts().text();
    const std::string nested = "<Bitstream>AAEC</Bitstream>";
    const std::pair<std::string, std::string> rows[] = {
        // The scan takes the nested element for the root's (the declaration's end tag closes an
        // element for it), the parser does not: the text stays.
        {"<Icon>", "<!DOCTYPE x [<!ENTITY e \"a>b</c>\">]>" + nested + "<Icon>"},
        {"AAECAw==", "AAECAw==<Part>1</Part>AAEC"},
        {"AAECAw==", "\n"},
        {"</Bitfile>", nested + "</Bitfile>"},
    };
    for (const auto& [from, to] : rows) {
        const std::string changed = replaced(text, from, to);
        EXPECT_EQ(parsed(changed).metadataText(), parsed(changed, true).metadataText()) << to;
    }
    EXPECT_NE(parsed(replaced(text, rows[0].first, rows[0].second)).metadataText().find(nested),
              std::string::npos);
    // A zero byte ends the document, in the bitstream's text too.
    EXPECT_EQ(parseStatus(replaced(text, "AAECAw==", std::string("AAEC\0Aw==", 9))), kMalformed);
}

TEST(Registers, TypesComeFromTheElementThatNamesThemAndSizesFromTheRegister) {
    const std::string fixedPoint =
        "<Array><Type><FXP><WordLength>40</WordLength><IntegerWordLength>-0x10"
        "</IntegerWordLength><Signed>TRUE</Signed></FXP></Type></Array>";
    DocumentParts parts;
    parts.registers += userRegister("Blob", "0x24", "<Cluster/>", true, false,
                                    "<TransferSizeBytes>0xE0000006</TransferSizeBytes>") +
                       userRegister("Packed", "0x28", "<Array><Type><Cluster/></Type></Array>",
                                    false, false, "<SizeInBits>12</SizeInBits>") +
                       userRegister("Fixed", "0x2C", fixedPoint) +
                       userRegister("Odd", "0x30", "<Mystery/>");
    const Bitfile bitfile = parsed(parts.text());
    EXPECT_EQ(shapeOf(bitfile.findRegister("Blob")->descriptor.type),
              std::make_tuple(TypeId::Composite, 48u, 6u));

    const auto* packed = bitfile.findRegister("Packed");
    EXPECT_EQ(packed->descriptor.access(), zyrask::RegisterAccess::ControlArray);
    EXPECT_EQ(shapeOf(packed->descriptor.type), std::make_tuple(TypeId::Composite, 12u, 2u));

    const auto* fixed = bitfile.findRegister("Fixed");
    EXPECT_EQ(fixed->descriptor.access(), zyrask::RegisterAccess::IndicatorArray);
    EXPECT_EQ(shapeOf(fixed->descriptor.type), std::make_tuple(TypeId::Fxp, 40u, 8u));
    EXPECT_TRUE(fixed->descriptor.type.isSigned);
    EXPECT_EQ(fixed->descriptor.type.integerWordLength, static_cast<uint32_t>(-16));

    // A register of a type the model does not know is still listed, with the invalid type.
    EXPECT_EQ(bitfile.findRegister("Odd")->descriptor.type.typeId, TypeId::Invalid);
}

TEST(DmaChannels, NumbersMustRunWithoutAGap) {
    DocumentParts parts;
    parts.channels += zytest::channel("Second", "2", "Dma2", "zyFpgaTargetToHost", "<I32/>");
    parts.blocks +=
        zytest::registerBlock("Dma2", "0x1880") + zytest::registerBlock("Dma1", "0x1840");
    EXPECT_EQ(parseStatus(parts.text()), kMalformed);
    // The first channel of a duplicate number is kept, so a duplicate does not fill the gap.
    const std::string duplicate =
        zytest::channel("Duplicate", "0", "Dma1", "zyFpgaHostToTarget", "<U8/>");
    EXPECT_EQ(parseStatus(replaced(parts.text(), "<Channel name=\"Second\"",
                                   duplicate + "<Channel name=\"Second\"")),
              kMalformed);
    parts.channels +=
        zytest::channel("First", "1", "Dma1", "zyFpgaHostToTarget", "<U8/>") + duplicate;
    const Bitfile bitfile = parsed(parts.text());
    ASSERT_EQ(bitfile.fifos().size(), 3u);
    // Ordered by number, not by document order.
    EXPECT_EQ((std::vector<std::string>{bitfile.fifos()[0].name, bitfile.fifos()[1].name,
                                        bitfile.fifos()[2].name}),
              (std::vector<std::string>{"Samples", "First", "Second"}));
    EXPECT_EQ(bitfile.findFifo("Duplicate"), nullptr);
}

// Blocks are matched to channels by tag, whatever their number and order: the first channel
// with the tag takes the block, a later block of the same name overrides an earlier one.
TEST(DmaChannels, ManyChannelsFindTheirBlocks) {
    using zytest::ManyChannels;
    constexpr uint32_t kChannels = 120000;
    const Bitfile bitfile = parsed(ManyChannels::parts(kChannels).text());
    ASSERT_EQ(bitfile.fifos().size(), kChannels);
    EXPECT_EQ(bitfile.fifos()[0].baseAddress, ManyChannels::kOverridingOffset);
    for (uint32_t number = 1; number < kChannels; ++number) {
        const zyrask::NamedFifo& fifo = bitfile.fifos()[number];
        ASSERT_EQ(fifo.baseAddress, ManyChannels::baseOffset(number)) << number;
        const uint32_t window = ManyChannels::isReader(number) ? ManyChannels::windowOffset(number)
                                                               : zyrask::FifoInfo::kUnresolved;
        ASSERT_EQ(fifo.writeWindowAddress, window) << number;
    }
}

TEST(DmaChannels, TypesAreCheckedForTransfer) {
    const std::string fxp64 =
        "<FXP><WordLength>64</WordLength><Signed>true</Signed><IntegerWordLength>";
    const struct {
        std::string dataType, extra;
        int32_t status;
    } rows[] = {
        {"<Unknown/>", "", kMalformed},
        {"", "", kMalformed},
        {"<Cluster/>", "", kMalformed},  // no size at all: transfer size 0
        {"<Cluster/>", "<SizeInBits>24</SizeInBits>", kIncompatible},
        {"<Cluster/>", "<SizeInBits>64</SizeInBits>", 0},
        {"<CFXP/>", "<TransferSizeBytes>0x20000010</TransferSizeBytes>", 0},
        {"<FXP><WordLength>8</WordLength><Signed>true</Signed></FXP>", "", kMalformed},
        {"<FXP><WordLength>65</WordLength><IntegerWordLength>1</IntegerWordLength><Signed>true</"
         "Signed></FXP>",
         "", kMalformed},
        {fxp64 + "-2049</IntegerWordLength></FXP>", "", kMalformed},
        {fxp64 + "-2048</IntegerWordLength></FXP>", "", 0},
        // With a SubType the FXP parameters are read from DataType itself.
        {"<SubType>FXP</SubType><WordLength>12</WordLength><IntegerWordLength>2047</"
         "IntegerWordLength>"
         "<Signed>false</Signed>",
         "", 0},
    };
    for (const auto& row : rows) {
        DocumentParts parts;
        parts.channels =
            zytest::channel("Samples", "0", "Dma0", "zyFpgaTargetToHost", row.dataType, row.extra);
        EXPECT_EQ(parseStatus(parts.text()), row.status) << row.dataType << row.extra;
    }
}

TEST(DmaChannels, ImplementationDecidesWhichBlocksAreResolved) {
    // A peer-to-peer reader needs its write window as well; the base tag is matched first.
    const std::string window =
        "<WriteWindowAddressTag>Window1</WriteWindowAddressTag><WriteWindowSize>64</"
        "WriteWindowSize>";
    DocumentParts parts;
    parts.channels +=
        zytest::channel("Peer", "1", "Dma1", "zyFpgaPeerToPeerReader", "<U32/>", window);
    parts.blocks += zytest::registerBlock("Dma1", "0x1840");
    EXPECT_EQ(parseStatus(parts.text()), kMalformed);
    parts.blocks += zytest::registerBlock("Window1", "0x9000");
    const Bitfile bitfile = parsed(parts.text());
    EXPECT_EQ(bitfile.fifos()[1].baseAddress, 0x1840u);
    EXPECT_EQ(bitfile.fifos()[1].writeWindowAddress, 0x9000u);
    EXPECT_EQ(bitfile.fifos()[1].writeWindowSize, 64u);

    // A window tag on any other kind is not resolved and not required.
    parts.channels =
        DocumentParts().channels +
        zytest::channel("Writer", "1", "Dma1", "zyFpgaPeerToPeerWriter", "<U32/>", window);
    EXPECT_EQ(parsed(parts.text()).fifos()[1].writeWindowAddress, 0xFFFFFFFFu);
    // Implementation names are matched in their letter case.
    parts.channels = zytest::channel("Samples", "0", "Dma0", "zyfpgatargettohost", "<I32/>");
    EXPECT_EQ(parsed(parts.text()).fifos()[0].descriptor.implementation(),
              zyrask::FifoImplementation::Unknown);
}

TEST(TargetData, DramBaseAddressAndFlagsComeFromTheProject) {
    const std::string text = DocumentParts().text();
    EXPECT_EQ(parsed(text).dram2DpBaseAddress(), 0xFFFFFFFFu);
    EXPECT_TRUE(parsed(text).targetSpecificDataText().empty());
    auto withData = [&text](const std::string& data) {
        return parsed(replaced(text, "</ZyFpga>",
                               "</ZyFpga><TargetSpecificData>" + data + "</TargetSpecificData>"));
    };
    const std::pair<const char*, uint32_t> rows[] = {
        {"<LLB/>", 0x15000},
        {"<Dram2DPBaseAddress>0x40000</Dram2DPBaseAddress><HMB/>", 0x40000},
        {"<Dram2DPBaseAddress>0xFFFFFFFF</Dram2DPBaseAddress><HMB/>", 0x15000},
        {"<Other/>", 0xFFFFFFFF}};
    for (const auto& [data, address] : rows) {
        EXPECT_EQ(withData(data).dram2DpBaseAddress(), address) << data;
    }

    // Project flags count by their presence.
    const Bitfile flagged = parsed(replaced(text, "<CompilationResultsTree>",
                                            "<ResetNotSupported/><AbortNotSupported>false</"
                                            "AbortNotSupported><CompilationResultsTree>"));
    EXPECT_TRUE(flagged.resetNotSupported());
    EXPECT_TRUE(flagged.abortNotSupported());
    EXPECT_TRUE(
        parsed(replaced(text, "<ZyFpga>",
                        "<ZyRask><ZynqBsEnablePatch>True</ZynqBsEnablePatch></ZyRask><ZyFpga>"))
            .zynqBsEnablePatch());
}

}  // namespace

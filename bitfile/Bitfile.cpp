#include "bitfile/Bitfile.h"

#include <algorithm>
#include <cstring>
#include <limits>
#include <memory>
#include <new>
#include <string_view>
#include <unordered_map>
#include <utility>

// The decoder's C header declares no C linkage of its own.
extern "C" {
#include <b64/cdecode.h>
}

#include "bitfile/ParseMemory.h"
#include "bitfile/XmlText.h"
#include "platform/RegularFile.h"
#include "status/Exception.h"
#include "status/StatusCodes.h"

namespace zyrask {
namespace {

using xml::Node;

constexpr int32_t kMalformed = zyerr::codes::BitfileMalformed;
constexpr int32_t kIncompatible = zyerr::codes::BitfileIncompatible;
constexpr int32_t kUnreadable = zyerr::codes::BitfileUnreadable;

constexpr uint32_t kNewestReadableMajorVersion = 7;
// Real designs nest a dozen levels; the limit only keeps the recursive parser's stack bounded.
constexpr std::size_t kDeepestNesting = 256;
constexpr uint32_t kDefaultInterruptEnableOffset = 0x1FFE4;
constexpr uint32_t kInterruptStatusAfterEnable = 12;
constexpr uint32_t kDefaultDiagramResetOffset = 0x7FFC;
constexpr uint32_t kSharedMemoryDram2DpBaseAddress = 0x15000;
constexpr uint32_t kNoAddress = 0xFFFFFFFF;
constexpr uint32_t kDefaultBaseAddress = 0x8000;
constexpr std::size_t kNoFifo = std::numeric_limits<std::size_t>::max();
constexpr char kBitstreamElement[] = "Bitstream";
constexpr std::size_t kBitstreamElementSize = sizeof kBitstreamElement - 1;

// Element texts are read where they stand: the parser neither terminates nor translates them.
constexpr int kParseFlags = rapidxml::parse_no_data_nodes | rapidxml::parse_no_string_terminators |
                            rapidxml::parse_no_entity_translation;

// A bitfile holds the design's bitstream as base64; the largest devices give documents of a
// few hundred megabytes. Anything larger is no bitfile and is refused before it is read.
constexpr std::size_t kLargestBitfileFile = std::size_t{1} << 30;

// Storage for a document's text that is not cleared before it is filled: the reader and the
// copy write every byte of it.
template <class T>
struct UnclearedAllocator : std::allocator<T> {
    template <class U>
    struct rebind {
        using other = UnclearedAllocator<U>;
    };
    UnclearedAllocator() = default;
    template <class U>
    explicit UnclearedAllocator(const UnclearedAllocator<U>&) noexcept {}
    template <class U>
    void construct(U* place) noexcept {
        ::new (static_cast<void*>(place)) U;
    }
    template <class U, class... Arguments>
    void construct(U* place, Arguments&&... arguments) {
        ::new (static_cast<void*>(place)) U(std::forward<Arguments>(arguments)...);
    }
};
using TextBuffer = std::vector<char, UnclearedAllocator<char>>;

// The buffer the file reader fills, advised to huge pages before it is filled.
class FileText {
public:
    void clear() { bytes_.clear(); }
    void resize(std::size_t count) {
        if (count > bytes_.capacity()) memory::reserveForFilling(bytes_, count);
        bytes_.resize(count);
    }
    std::size_t size() const { return bytes_.size(); }
    char& operator[](std::size_t index) { return bytes_[index]; }
    TextBuffer& bytes() { return bytes_; }

private:
    TextBuffer bytes_;
};

// The file as text with a terminating zero byte. The path may name anything: the kind of file
// is checked before its content is read, so a named pipe is refused at once instead of
// blocking the open until a writer comes.
TextBuffer readFile(const std::string& path) {
    FileText text;
    const zyostrel::platform::RegularFileRead read =
        zyostrel::platform::readRegularFile(path.c_str(), kLargestBitfileFile, text);
    if (read.outcome != zyostrel::platform::RegularFileOutcome::Complete) {
        ZYERR_THROW(kUnreadable);
    }
    text.bytes().push_back('\0');
    return std::move(text.bytes());
}

// Takes the bytes [begin, end) out of a zero-terminated text by moving the rest of it forward,
// and keeps what that overwrote, so that the text can be put back as it was.
class TextCut {
public:
    TextCut(TextBuffer& text, std::size_t begin, std::size_t end)
        : text_(text), begin_(begin), end_(end) {
        const std::size_t rest = text.size() - end;
        saved_.assign(
            text.begin() + static_cast<std::ptrdiff_t>(begin),
            text.begin() + static_cast<std::ptrdiff_t>(begin + std::min(end - begin, rest)));
        std::memmove(text.data() + begin, text.data() + end, rest);
    }
    void restore() {
        std::memmove(text_.data() + end_, text_.data() + begin_, text_.size() - end_);
        std::memcpy(text_.data() + begin_, saved_.data(), saved_.size());
    }

private:
    TextBuffer& text_;
    std::size_t begin_;
    std::size_t end_;
    std::vector<char> saved_;
};

// The number of children of any name, at least as many as those of one name: counted without
// comparing names, for reserving the storage those fill.
std::size_t countChildrenAtMost(const Node* parent) {
    std::size_t count = 0;
    for (const Node* item = parent->first_node(); item != nullptr; item = item->next_sibling()) {
        ++count;
    }
    return count;
}

const Node* required(const Node* parent, const char* name) {
    const Node* found = xml::child(parent, name);
    if (found == nullptr) ZYERR_THROW(kMalformed);
    return found;
}

uint32_t numberOf(const Node* node) {
    const auto value = xml::parseUnsigned(xml::DecodedText(node).view());
    if (!value) ZYERR_THROW(kMalformed);
    return *value;
}

bool booleanOf(const Node* node) {
    const auto value = xml::parseBoolean(xml::DecodedText(node).view());
    if (!value) ZYERR_THROW(kMalformed);
    return *value;
}

uint32_t requiredNumber(const Node* parent, const char* name) {
    return numberOf(required(parent, name));
}

bool requiredBoolean(const Node* parent, const char* name) {
    return booleanOf(required(parent, name));
}

// FXP parameters are children of the element that names the type; a missing one makes the
// type invalid, a word length out of range the document malformed.
Type fixedPointType(const Node* parameters) {
    const Node* wordLength = xml::child(parameters, "WordLength");
    const Node* integerWordLength = xml::child(parameters, "IntegerWordLength");
    const Node* isSigned = xml::child(parameters, "Signed");
    if (wordLength == nullptr || integerWordLength == nullptr || isSigned == nullptr) {
        return Type();
    }
    const uint32_t bits = numberOf(wordLength);
    const auto integerBits = xml::parseSigned(xml::DecodedText(integerWordLength).view());
    if (!integerBits) ZYERR_THROW(kMalformed);
    const bool signedness = booleanOf(isSigned);
    if (bits < 1 || bits > 64 || *integerBits < -2048 || *integerBits > 2047) {
        ZYERR_THROW(kMalformed);
    }
    return Type::fixedPoint(bits, *integerBits, signedness);
}

// Composite sizes are children of the register or channel that carries the type.
Type compositeType(const Node* resource) {
    if (const Node* bits = xml::child(resource, "SizeInBits")) {
        return Type::compositeOfBits(numberOf(bits));
    }
    if (const Node* bytes = xml::child(resource, "TransferSizeBytes")) {
        return Type::compositeOfBytes(numberOf(bytes));
    }
    return Type(TypeId::Composite, 0, 0, false, 0);
}

Type typeNamed(std::string_view name, const Node* parameters, const Node* resource) {
    if (isFixedPointName(name)) return fixedPointType(parameters);
    if (isCompositeName(name)) return compositeType(resource);
    return Type::fromFixedName(name);
}

bool isPowerOfTwo(uint32_t value) { return value != 0 && (value & (value - 1)) == 0; }

}  // namespace

// Builds a Bitfile from a parsed document, reading its parts in document-independent order so
// that the first failure reported is always the same for the same document.
class BitfileParser {
public:
    BitfileParser(Bitfile& bitfile, bool parseBitstream)
        : bitfile_(bitfile), parseBitstream_(parseBitstream) {}

    void parse(TextBuffer& text);

private:
    void readVersions(const Node* root);
    void readProject(const Node* root);
    void readTargetInformation(const Node* compilationResults);
    void readTargetSpecificData(const Node* compilationResults);
    void readChannels(const Node* zyFpga);
    NamedFifo readChannel(const Node* channel);
    void resolveRegisterBlocks(const Node* zyFpga);
    void readRegisters(const Node* root);
    void readRegister(const Node* registerNode, bool& viSignature, bool& viControl,
                      bool& interruptEnable, bool& interruptStatus, bool& diagramReset);
    void readBitstream(Node* root);
    void printMetadata(rapidxml::xml_document<char>& document, Node* root);
    static void parseWhole(rapidxml::xml_document<char>& document, char* text);
    static bool parseWithoutText(rapidxml::xml_document<char>& document, TextBuffer& text,
                                 std::size_t start, std::size_t begin, std::size_t end);

    Bitfile& bitfile_;
    bool parseBitstream_;
};

void BitfileParser::parse(TextBuffer& text) {
    std::size_t start = 0;
    if (text.size() >= 3 && static_cast<unsigned char>(text[0]) == 0xEF &&
        static_cast<unsigned char>(text[1]) == 0xBB &&
        static_cast<unsigned char>(text[2]) == 0xBF) {
        start = 3;
    }
    // text ends with the zero byte the parser stops at.
    const xml::DocumentScan scan =
        xml::scanDocument(text.data() + start, text.size() - 1 - start, kBitstreamElement);
    if (scan.deepestNesting > kDeepestNesting) ZYERR_THROW(kMalformed);
    // The arena outlives the document whose nodes it holds.
    memory::NodeArena arena;
    rapidxml::xml_document<char> document;
    document.set_allocator(memory::NodeArena::allocate, memory::NodeArena::release);
    const bool parsedWithoutBitstreamText =
        !parseBitstream_ && scan.childTextBegin != scan.childTextEnd &&
        parseWithoutText(document, text, start, start + scan.childTextBegin,
                         start + scan.childTextEnd);
    if (!parsedWithoutBitstreamText) parseWhole(document, text.data() + start);
    Node* root = document.first_node();
    if (root == nullptr) ZYERR_THROW(kMalformed);

    readVersions(root);
    readProject(root);
    readRegisters(root);
    bitfile_.bitstreamVersion_ = requiredNumber(root, "BitstreamVersion");
    if (const Node* md5 = xml::child(root, "BitstreamMD5"))
        bitfile_.bitstreamMd5_ = xml::textOf(md5);
    readBitstream(root);
    printMetadata(document, root);
}

void BitfileParser::parseWhole(rapidxml::xml_document<char>& document, char* text) {
    try {
        document.parse<kParseFlags>(text);
    } catch (const rapidxml::parse_error&) {
        ZYERR_THROW(kMalformed);
    }
}

// Most of a bitfile is its bitstream's base64 text, which the parser would step over character
// by character although the text is only needed to decode the bitstream. So the scan's text
// after the root's bitstream tag is cut out of the document before it is parsed. That gives
// the same tree, but for the bitstream element's value (emptied for the metadata in any case),
// provided the parser takes the tag where the cut begins for the root's bitstream child: up to
// that tag both texts are the same, and the cut text held no tag. When the parser reads the
// document otherwise than the scan did, or fails on it, the text is put back as it was and
// false returned: the caller parses it whole.
bool BitfileParser::parseWithoutText(rapidxml::xml_document<char>& document, TextBuffer& text,
                                     std::size_t start, std::size_t begin, std::size_t end) {
    TextCut cut(text, begin, end);
    const char* const tagName = text.data() + begin - 1 - kBitstreamElementSize;
    try {
        document.parse<kParseFlags>(text.data() + start);
    } catch (const rapidxml::parse_error&) {
        cut.restore();
        return false;
    }
    const Node* bitstream = xml::child(document.first_node(), kBitstreamElement);
    if (bitstream != nullptr && bitstream->name() == tagName) return true;
    cut.restore();
    return false;
}

void BitfileParser::readVersions(const Node* root) {
    if (const Node* oldest = xml::child(root, "OldestCompatibleMajorBitfileVersion")) {
        if (numberOf(oldest) > kNewestReadableMajorVersion) ZYERR_THROW(kIncompatible);
    }
    // major.minor in decimal digits, nothing else.
    const std::string version = xml::textOf(required(root, "BitfileVersion"));
    const std::size_t point = version.find('.');
    auto decimal = [](const std::string& digits) -> std::optional<uint32_t> {
        if (digits.empty() || digits.size() > 10) return std::nullopt;
        uint64_t value = 0;
        for (char c : digits) {
            if (c < '0' || c > '9') return std::nullopt;
            value = value * 10 + static_cast<uint64_t>(c - '0');
        }
        if (value > 0xFFFFFFFFu) return std::nullopt;
        return static_cast<uint32_t>(value);
    };
    if (point == std::string::npos) ZYERR_THROW(kMalformed);
    const auto major = decimal(version.substr(0, point));
    const auto minor = decimal(version.substr(point + 1));
    if (!major || !minor) ZYERR_THROW(kMalformed);
    bitfile_.bitfileVersionMajor_ = *major;
    bitfile_.bitfileVersionMinor_ = *minor;

    bitfile_.signature_ = xml::textOf(required(root, "SignatureRegister"));
    if (bitfile_.signature_.size() != 32) ZYERR_THROW(kMalformed);
}

void BitfileParser::readProject(const Node* root) {
    const Node* project = required(root, "Project");
    bitfile_.targetClass_ = xml::textOf(required(project, "TargetClass"));
    bitfile_.autoRunWhenDownloaded_ = requiredBoolean(project, "AutoRunWhenDownloaded");
    if (const Node* removal = xml::child(project, "AllowImplicitEnableRemoval")) {
        bitfile_.allowImplicitEnableRemoval_ = booleanOf(removal);
    }
    bitfile_.resetNotSupported_ = xml::child(project, "ResetNotSupported") != nullptr;
    bitfile_.abortNotSupported_ = xml::child(project, "AbortNotSupported") != nullptr;

    const Node* compilationResults =
        required(required(project, "CompilationResultsTree"), "CompilationResults");
    if (const Node* patch =
            xml::child(xml::child(compilationResults, "ZyRask"), "ZynqBsEnablePatch")) {
        bitfile_.zynqBsEnablePatch_ = booleanOf(patch);
    }
    xml::print(compilationResults, bitfile_.compilationResultsText_);
    readTargetInformation(compilationResults);
}

void BitfileParser::readTargetInformation(const Node* compilationResults) {
    const Node* zyFpga = xml::child(compilationResults, "ZyFpga");
    if (const Node* base = xml::child(zyFpga, "BaseAddressOnDevice")) {
        bitfile_.baseAddress_ = numberOf(base);
    } else {
        static const char* const kTargetsAtZero[] = {"TargetAlpha", "TargetBeta", "TargetGamma",
                                                     "TargetDelta", "TargetEpsilon"};
        const bool atZero =
            std::any_of(std::begin(kTargetsAtZero), std::end(kTargetsAtZero),
                        [this](const char* name) { return bitfile_.targetClass_ == name; });
        bitfile_.baseAddress_ = atZero ? 0 : kDefaultBaseAddress;
    }
    readTargetSpecificData(compilationResults);
    if (zyFpga == nullptr) ZYERR_THROW(kMalformed);
    readChannels(zyFpga);
    resolveRegisterBlocks(zyFpga);
    for (const NamedFifo& fifo : bitfile_.fifos_) {
        if (!fifo.isComplete()) ZYERR_THROW(kMalformed);
    }
}

void BitfileParser::readTargetSpecificData(const Node* compilationResults) {
    const Node* data = xml::child(compilationResults, "TargetSpecificData");
    if (data == nullptr) return;
    xml::print(data, bitfile_.targetSpecificDataText_);
    uint32_t address = kNoAddress;
    if (const Node* dram = xml::child(data, "Dram2DPBaseAddress")) address = numberOf(dram);
    if (address == kNoAddress &&
        (xml::child(data, "HMB") != nullptr || xml::child(data, "LLB") != nullptr)) {
        address = kSharedMemoryDram2DpBaseAddress;
    }
    bitfile_.dram2DpBaseAddress_ = address;
}

NamedFifo BitfileParser::readChannel(const Node* channel) {
    NamedFifo fifo;
    const auto name = xml::attributeOf(channel, "name");
    if (!name) ZYERR_THROW(kMalformed);
    fifo.name = *name;
    fifo.number = requiredNumber(channel, "Number");
    fifo.numberOfElements = requiredNumber(channel, "NumberOfElements");
    fifo.baseAddressTag = xml::textOf(required(channel, "BaseAddressTag"));
    const FifoImplementation implementation =
        fifoImplementationFromText(xml::DecodedText(required(channel, "Implementation")).view());

    // The type name is a SubType's text (parameters then on DataType itself) or the name of
    // DataType's first child element (parameters on that element).
    const Node* dataType = required(channel, "DataType");
    Type type;
    if (const Node* subType = xml::child(dataType, "SubType")) {
        type = typeNamed(xml::DecodedText(subType).view(), dataType, channel);
    } else {
        const Node* named = dataType->first_node();
        type = named != nullptr ? typeNamed(xml::nameViewOf(named), named, channel) : Type();
    }
    if (!type.isValid() || type.transferSizeBytes == 0) ZYERR_THROW(kMalformed);
    if (!isPowerOfTwo(type.transferSizeBytes)) ZYERR_THROW(kIncompatible);
    fifo.descriptor = FifoDescriptor(implementation, type);
    fifo.userVisible = requiredBoolean(channel, "UserVisible");
    if (const Node* windowTag = xml::child(channel, "WriteWindowAddressTag")) {
        fifo.writeWindowAddressTag = xml::textOf(windowTag);
        fifo.writeWindowSize = requiredNumber(channel, "WriteWindowSize");
    }
    return fifo;
}

void BitfileParser::readChannels(const Node* zyFpga) {
    const Node* list = required(zyFpga, "DmaChannelAllocationList");
    // Two channels with the same number: the first in document order is kept and the later
    // one dropped, as everywhere else in the document the first match counts. The numbers
    // that remain must still run 0, 1, 2, ... without a gap.
    std::vector<NamedFifo>& fifos = bitfile_.fifos_;
    memory::reserveForFilling(fifos, countChildrenAtMost(list));
    for (const Node* channel = xml::child(list, "Channel"); channel != nullptr;
         channel = channel->next_sibling("Channel", 7, true)) {
        fifos.push_back(readChannel(channel));
    }
    auto byNumber = [](const NamedFifo& a, const NamedFifo& b) { return a.number < b.number; };
    auto sameNumber = [](const NamedFifo& a, const NamedFifo& b) { return a.number == b.number; };
    std::stable_sort(fifos.begin(), fifos.end(), byNumber);
    fifos.erase(std::unique(fifos.begin(), fifos.end(), sameNumber), fifos.end());
    for (std::size_t index = 0; index < fifos.size(); ++index) {
        if (fifos[index].number != index) ZYERR_THROW(kMalformed);
    }
}

// A block goes to the first FIFO in channel order whose base address tag, or (for a
// peer-to-peer reader) whose write window tag, is the block's name; for a FIFO with both, the
// base address. Designs have hundreds of thousands of channels, so each tag is looked up
// rather than every FIFO tried for every block.
void BitfileParser::resolveRegisterBlocks(const Node* zyFpga) {
    const Node* list = xml::child(zyFpga, "RegisterBlockList");
    if (list == nullptr) return;
    std::vector<NamedFifo>& fifos = bitfile_.fifos_;
    std::unordered_map<std::string_view, std::size_t> firstByBaseTag;
    std::unordered_map<std::string_view, std::size_t> firstByWindowTag;
    firstByBaseTag.reserve(fifos.size());
    for (std::size_t index = 0; index < fifos.size(); ++index) {
        firstByBaseTag.emplace(fifos[index].baseAddressTag, index);
        if (fifos[index].descriptor.implementation() == FifoImplementation::PeerToPeerReader) {
            firstByWindowTag.emplace(fifos[index].writeWindowAddressTag, index);
        }
    }
    auto firstIndex = [](const auto& byTag, const std::string& name) {
        const auto found = byTag.find(name);
        return found == byTag.end() ? kNoFifo : found->second;
    };
    for (const Node* block = xml::child(list, "RegisterBlock"); block != nullptr;
         block = block->next_sibling("RegisterBlock", 13, true)) {
        const auto name = xml::attributeOf(block, "name");
        if (!name) ZYERR_THROW(kMalformed);
        const uint32_t offset = requiredNumber(block, "Offset");
        const std::size_t base = firstIndex(firstByBaseTag, *name);
        const std::size_t window = firstIndex(firstByWindowTag, *name);
        if (base != kNoFifo && base <= window) {
            fifos[base].baseAddress = offset;
        } else if (window != kNoFifo) {
            fifos[window].writeWindowAddress = offset;
        }
    }
}

void BitfileParser::readRegisters(const Node* root) {
    const Node* list = required(required(root, "VI"), "RegisterList");
    memory::reserveForFilling(bitfile_.registers_, countChildrenAtMost(list));
    bool viSignature = false;
    bool viControl = false;
    bool interruptEnable = false;
    bool interruptStatus = false;
    bool diagramReset = false;
    for (const Node* item = xml::child(list, "Register"); item != nullptr;
         item = item->next_sibling("Register", 8, true)) {
        readRegister(item, viSignature, viControl, interruptEnable, interruptStatus, diagramReset);
    }
    if (!viSignature || !viControl) ZYERR_THROW(kMalformed);
    if (!interruptEnable) bitfile_.interruptEnableOffset_ = kDefaultInterruptEnableOffset;
    if (!interruptStatus) {
        bitfile_.interruptStatusOffset_ =
            bitfile_.interruptEnableOffset_ + kInterruptStatusAfterEnable;
    }
    if (!diagramReset) bitfile_.diagramResetOffset_ = kDefaultDiagramResetOffset;
}

void BitfileParser::readRegister(const Node* item, bool& viSignature, bool& viControl,
                                 bool& interruptEnable, bool& interruptStatus, bool& diagramReset) {
    // Registers are most of a design: their children are found in one pass, then read in the
    // order that decides which failure is reported first.
    enum { kName, kOffset, kInternal, kIndicator, kAccessMayTimeout, kDatatype, kCount };
    static constexpr std::string_view kNames[kCount] = {
        "Name", "Offset", "Internal", "Indicator", "AccessMayTimeout", "Datatype"};
    const Node* found[kCount];
    xml::children(item, kNames, found, kCount);
    auto present = [&found](int index) {
        if (found[index] == nullptr) ZYERR_THROW(kMalformed);
        return found[index];
    };

    std::string name = xml::textOf(present(kName));
    const uint32_t offset = numberOf(present(kOffset));
    if (booleanOf(present(kInternal))) {
        const struct {
            const char* name;
            uint32_t Bitfile::*field;
            bool* found;
        } kInternal[] = {
            {"ViSignature", &Bitfile::viSignatureOffset_, &viSignature},
            {"ViControl", &Bitfile::viControlOffset_, &viControl},
            {"DiagramReset", &Bitfile::diagramResetOffset_, &diagramReset},
            {"InterruptEnable", &Bitfile::interruptEnableOffset_, &interruptEnable},
            {"InterruptStatus", &Bitfile::interruptStatusOffset_, &interruptStatus},
        };
        for (const auto& internal : kInternal) {
            if (name == internal.name) {
                bitfile_.*internal.field = offset;
                *internal.found = true;
            }
        }
        return;
    }
    const bool indicator = booleanOf(present(kIndicator));
    const bool accessMayTimeout = booleanOf(present(kAccessMayTimeout));
    const Node* named = present(kDatatype)->first_node();
    bool isArray = false;
    if (named != nullptr && xml::nameViewOf(named) == "Array") {
        isArray = true;
        named = required(named, "Type")->first_node();
    }
    const Type type = named != nullptr ? typeNamed(xml::nameViewOf(named), named, item) : Type();
    const unsigned access = (indicator ? 0u : 1u) + (isArray ? 2u : 0u);

    NamedRegister entry;
    entry.name = std::move(name);
    entry.descriptor = RegisterDescriptor(static_cast<RegisterAccess>(access), type);
    entry.baseAddress = bitfile_.baseAddress_;
    entry.offset = offset;
    entry.accessMayTimeout = accessMayTimeout;
    bitfile_.registers_.push_back(std::move(entry));
}

void BitfileParser::readBitstream(Node* root) {
    // Without decoding, the bitstream is only required with the metadata that follows.
    if (!parseBitstream_) return;
    if (const Node* encoding = xml::child(root, "BitstreamEncoding")) {
        const std::string name = xml::textOf(encoding);
        std::string lower(name);
        std::transform(lower.begin(), lower.end(), lower.begin(), [](char c) {
            return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
        });
        if (lower != "base64") ZYERR_THROW(kIncompatible);
    }
    const Node* bitstream = required(root, kBitstreamElement);
    // Base64 has no entities to decode; the decoder skips line breaks and other non-alphabet
    // characters.
    const std::size_t size = bitstream->value_size();
    std::vector<uint8_t>& out = bitfile_.bitstream_;
    out.resize(size / 4 * 3 + 3);
    base64_decodestate state;
    base64_init_decodestate(&state);
    std::size_t decoded = 0;
    // The decoder takes an int length: feed it in bounded pieces (multiples of 4 keep the
    // state simple, though it carries partial quanta across calls anyway).
    constexpr std::size_t kPiece = std::size_t{1} << 30;
    for (std::size_t from = 0; from < size; from += kPiece) {
        const std::size_t piece = std::min(kPiece, size - from);
        decoded += static_cast<std::size_t>(
            base64_decode_block(bitstream->value() + from, static_cast<int>(piece),
                                reinterpret_cast<char*>(out.data() + decoded), &state));
    }
    out.resize(decoded);
}

void BitfileParser::printMetadata(rapidxml::xml_document<char>& document, Node* root) {
    Node* icon = const_cast<Node*>(required(required(root, "VI"), "Icon"));
    for (const char* part : {"Image", "Mask", "Colors"}) {
        const_cast<Node*>(required(icon, part))->value("", 0);
    }
    const_cast<Node*>(required(root, kBitstreamElement))->value("", 0);
    xml::print(&document, bitfile_.metadataText_);
}

Bitfile::Bitfile(const std::string& source, bool sourceIsPath, bool parseBitstream) {
    TextBuffer text;
    if (sourceIsPath) {
        text = readFile(source);
    } else {
        memory::reserveForFilling(text, source.size() + 1);
        text.assign(source.begin(), source.end());
        text.push_back('\0');
    }
    BitfileParser(*this, parseBitstream).parse(text);
}

std::shared_ptr<const Bitfile> Bitfile::create(const std::string& source, bool sourceIsPath,
                                               bool parseBitstream) {
    return std::make_shared<const Bitfile>(source, sourceIsPath, parseBitstream);
}

const NamedRegister* Bitfile::findRegister(const std::string& name) const {
    for (const NamedRegister& entry : registers_) {
        if (entry.name == name) return &entry;
    }
    return nullptr;
}

const NamedFifo* Bitfile::findFifo(const std::string& name) const {
    for (const NamedFifo& fifo : fifos_) {
        if (fifo.name == name) return &fifo;
    }
    return nullptr;
}

}  // namespace zyrask

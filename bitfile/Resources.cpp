#include "bitfile/Resources.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <limits>

#include "status/StatusCodes.h"

namespace zyrask {

ByteBuffer::~ByteBuffer() { std::free(data_); }

bool ByteBuffer::grow(std::size_t needed) {
    const std::size_t grown = std::max<std::size_t>(capacity_ + capacity_ / 2, 8);
    const std::size_t target = std::max(needed, grown);
    void* moved = std::realloc(data_, target);
    if (moved == nullptr) return false;
    data_ = static_cast<uint8_t*>(moved);
    capacity_ = target;
    return true;
}

void ByteBuffer::append(const void* bytes, std::size_t count, zyerr::Status& status) {
    if (status.isError() || count == 0) return;
    if (count > std::numeric_limits<std::size_t>::max() - size_ ||
        (size_ + count > capacity_ && !grow(size_ + count))) {
        zyerr::setCode(status, zyerr::codes::MemoryFull, ZYERR_LOCATION(zyerr::codes::MemoryFull));
        return;
    }
    std::memcpy(data_ + size_, bytes, count);
    size_ += count;
}

void ByteBuffer::appendU32(uint32_t value, zyerr::Status& status) {
    const uint8_t bytes[4] = {static_cast<uint8_t>(value), static_cast<uint8_t>(value >> 8),
                              static_cast<uint8_t>(value >> 16), static_cast<uint8_t>(value >> 24)};
    append(bytes, sizeof bytes, status);
}

FifoImplementation fifoImplementationFromText(std::string_view text) {
    static const char* const kNames[] = {
        "zyFpgaTargetToHost",     "zyFpgaHostToTarget",   "zyFpgaPeerToPeerReader",
        "zyFpgaPeerToPeerWriter", "zyMemoryBufferReader", "zyMemoryBufferWriter",
    };
    for (std::size_t i = 0; i < sizeof kNames / sizeof kNames[0]; ++i) {
        if (text == kNames[i]) return static_cast<FifoImplementation>(i);
    }
    return FifoImplementation::Unknown;
}

namespace {

struct FixedType {
    const char* name;
    TypeId typeId;
    uint32_t bits;
    bool isSigned;
};

// Every fixed-width kind transfers its size in whole bytes, Boolean in one byte.
constexpr FixedType kFixedTypes[] = {
    {"Boolean", TypeId::Boolean, 1, false}, {"I8", TypeId::I8, 8, true},
    {"U8", TypeId::U8, 8, false},           {"EnumU8", TypeId::U8, 8, false},
    {"I16", TypeId::I16, 16, true},         {"U16", TypeId::U16, 16, false},
    {"EnumU16", TypeId::U16, 16, false},    {"I32", TypeId::I32, 32, true},
    {"U32", TypeId::U32, 32, false},        {"EnumU32", TypeId::U32, 32, false},
    {"I64", TypeId::I64, 64, true},         {"U64", TypeId::U64, 64, false},
    {"EnumU64", TypeId::U64, 64, false},    {"SGL", TypeId::Sgl, 32, true},
    {"DBL", TypeId::Dbl, 64, true},
};

}  // namespace

Type Type::fromFixedName(std::string_view name) {
    for (const FixedType& fixed : kFixedTypes) {
        if (name == fixed.name) {
            const uint32_t bytes = fixed.bits == 1 ? 1 : fixed.bits / 8;
            return Type(fixed.typeId, fixed.bits, bytes, fixed.isSigned, fixed.bits);
        }
    }
    return Type();
}

Type Type::fixedPoint(uint32_t wordLength, int32_t integerWordLength, bool isSigned) {
    uint32_t bytes = 8;
    if (wordLength <= 8) {
        bytes = 1;
    } else if (wordLength <= 16) {
        bytes = 2;
    } else if (wordLength <= 32) {
        bytes = 4;
    }
    return Type(TypeId::Fxp, wordLength, bytes, isSigned, static_cast<uint32_t>(integerWordLength));
}

Type Type::compositeOfBits(uint32_t sizeInBits) {
    const uint32_t bytes = sizeInBits / 8 + (sizeInBits % 8 != 0 ? 1 : 0);
    return Type(TypeId::Composite, sizeInBits, bytes, false, sizeInBits);
}

Type Type::compositeOfBytes(uint32_t transferSizeBytes) {
    // Masking first keeps 8 x bytes inside 32 bits; the product is the same modulo 2^32.
    const uint32_t bytes = transferSizeBytes & 0x1FFFFFFFu;
    return Type(TypeId::Composite, bytes * 8, bytes, false, bytes * 8);
}

bool isFixedPointName(std::string_view name) { return name == "FXP"; }

bool isCompositeName(std::string_view name) {
    return name == "Cluster" || name == "Array" || name == "CFXP";
}

void Type::serialize(ByteBuffer& buffer, zyerr::Status& status) const {
    buffer.appendU8(static_cast<uint8_t>(typeId), status);
    buffer.appendU32(sizeInBits, status);
    buffer.appendU32(transferSizeBytes, status);
    buffer.appendU8(isSigned ? 1 : 0, status);
    buffer.appendU32(integerWordLength, status);
}

void ResourceDescriptor::serialize(ByteBuffer& buffer, zyerr::Status& status) const {
    buffer.appendU8(static_cast<uint8_t>(resourceClass), status);
    buffer.appendU8(kind, status);
    type.serialize(buffer, status);
}

void FifoInfo::serialize(ByteBuffer& buffer, zyerr::Status& status) const {
    descriptor.serialize(buffer, status);
    buffer.appendU32(number, status);
    buffer.appendU32(baseAddress, status);
    buffer.appendU32(numberOfElements, status);
    buffer.appendU8(userVisible ? 1 : 0, status);
    buffer.appendU32(writeWindowAddress, status);
    buffer.appendU32(writeWindowSize, status);
}

bool FifoInfo::isComplete() const {
    if (baseAddress == kUnresolved) return false;
    return descriptor.implementation() != FifoImplementation::PeerToPeerReader ||
           writeWindowAddress != kUnresolved;
}

uint32_t NamedRegister::getResourceId() const {
    const uint32_t address = baseAddress + offset;
    return accessMayTimeout ? (address | kAccessMayTimeoutBit) : address;
}

}  // namespace zyrask

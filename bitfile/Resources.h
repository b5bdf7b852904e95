// The typed resources of a bitfile: data types, registers and DMA FIFOs, each with the packed
// form that is handed to the device (little-endian, no padding, no names).
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "status/Status.h"

namespace zyrask {

// A growable byte buffer for packed forms. Growth is explicit so that a failed allocation
// becomes a status instead of an exception.
class ByteBuffer {
public:
    ByteBuffer() = default;
    ByteBuffer(const ByteBuffer&) = delete;
    ByteBuffer& operator=(const ByteBuffer&) = delete;
    ~ByteBuffer();

    const uint8_t* data() const { return data_; }
    std::size_t size() const { return size_; }
    std::size_t capacity() const { return capacity_; }

    // Appends count bytes, growing to the larger of the needed size and max(1.5 x capacity, 8).
    // On a failed allocation status becomes -52000 and nothing is appended. Nothing happens
    // once status holds an error.
    void append(const void* bytes, std::size_t count, zyerr::Status& status);
    void appendU8(uint8_t value, zyerr::Status& status) { append(&value, 1, status); }
    void appendU32(uint32_t value, zyerr::Status& status);

private:
    bool grow(std::size_t needed);

    uint8_t* data_ = nullptr;
    std::size_t size_ = 0;
    std::size_t capacity_ = 0;
};

enum class TypeId : uint8_t {
    Invalid = 0,
    Boolean = 1,
    I8 = 2,
    U8 = 3,
    I16 = 4,
    U16 = 5,
    I32 = 6,
    U32 = 7,
    I64 = 8,
    U64 = 9,
    Fxp = 10,
    Sgl = 11,
    Dbl = 12,
    Composite = 13,  // Cluster, Array and complex fixed-point
};

enum class ResourceClass : uint8_t { Register = 0, Fifo = 1 };

enum class RegisterAccess : uint8_t {
    Indicator = 0,
    Control = 1,
    IndicatorArray = 2,
    ControlArray = 3,
};

enum class FifoImplementation : uint8_t {
    TargetToHost = 0,
    HostToTarget = 1,
    PeerToPeerReader = 2,
    PeerToPeerWriter = 3,
    MemoryBufferReader = 4,
    MemoryBufferWriter = 5,
    Unknown = 0xFF,
};

// The implementation kind named by a channel's "Implementation" text; Unknown for any other.
FifoImplementation fifoImplementationFromText(std::string_view text);

class ISerializable {
public:
    virtual ~ISerializable() = default;
    // Appends the packed form to buffer; appends nothing once status holds an error.
    virtual void serialize(ByteBuffer& buffer, zyerr::Status& status) const = 0;
};

class Type : public ISerializable {
public:
    static constexpr std::size_t kPackedSize = 14;

    Type() = default;
    Type(TypeId id, uint32_t bits, uint32_t transferBytes, bool signedness, uint32_t integerBits)
        : typeId(id),
          sizeInBits(bits),
          transferSizeBytes(transferBytes),
          isSigned(signedness),
          integerWordLength(integerBits) {}

    void serialize(ByteBuffer& buffer, zyerr::Status& status) const override;
    bool isValid() const { return typeId != TypeId::Invalid; }

    // The type of a fixed-width name ("Boolean", "I8", ..., "DBL"); Invalid for the
    // parameterised kinds (FXP, composites) and for unknown names.
    static Type fromFixedName(std::string_view name);
    // FXP with its word lengths; transfer size is the smallest of 1, 2, 4, 8 bytes that holds
    // wordLength bits.
    static Type fixedPoint(uint32_t wordLength, int32_t integerWordLength, bool isSigned);
    // A composite whose size is given in bits (transfer size rounded up to whole bytes).
    static Type compositeOfBits(uint32_t sizeInBits);
    // A composite whose size is given as transfer bytes (masked to their low 29 bits).
    static Type compositeOfBytes(uint32_t transferSizeBytes);

    TypeId typeId = TypeId::Invalid;
    uint32_t sizeInBits = 0;
    uint32_t transferSizeBytes = 0;
    bool isSigned = false;
    uint32_t integerWordLength = 0;
};

// True for the names whose parameters come from child elements or from the resource.
bool isFixedPointName(std::string_view name);
bool isCompositeName(std::string_view name);

class ResourceDescriptor : public ISerializable {
public:
    static constexpr std::size_t kPackedSize = 2 + Type::kPackedSize;

    ResourceDescriptor() = default;
    ResourceDescriptor(ResourceClass resourceClassOf, uint8_t kindOf, const Type& typeOf)
        : resourceClass(resourceClassOf), kind(kindOf), type(typeOf) {}

    void serialize(ByteBuffer& buffer, zyerr::Status& status) const override;

    ResourceClass resourceClass = ResourceClass::Register;
    uint8_t kind = 0;  // RegisterAccess or FifoImplementation
    Type type;
};

class RegisterDescriptor : public ResourceDescriptor {
public:
    RegisterDescriptor() = default;
    RegisterDescriptor(RegisterAccess accessOf, const Type& typeOf)
        : ResourceDescriptor(ResourceClass::Register, static_cast<uint8_t>(accessOf), typeOf) {}
    RegisterAccess access() const { return static_cast<RegisterAccess>(kind); }
};

class FifoDescriptor : public ResourceDescriptor {
public:
    FifoDescriptor() = default;
    FifoDescriptor(FifoImplementation implementationOf, const Type& typeOf)
        : ResourceDescriptor(ResourceClass::Fifo, static_cast<uint8_t>(implementationOf), typeOf) {}
    FifoImplementation implementation() const { return static_cast<FifoImplementation>(kind); }
};

class RegisterInfo {
public:
    virtual ~RegisterInfo() = default;

    RegisterDescriptor descriptor;
    uint32_t baseAddress = 0;
    uint32_t offset = 0;
    bool accessMayTimeout = false;
};

class FifoInfo : public ISerializable {
public:
    static constexpr uint32_t kUnresolved = 0xFFFFFFFF;
    static constexpr std::size_t kPackedSize = ResourceDescriptor::kPackedSize + 4 * 5 + 1;

    void serialize(ByteBuffer& buffer, zyerr::Status& status) const override;
    // The base address is resolved and, for a peer-to-peer reader, the write window too.
    bool isComplete() const;

    FifoDescriptor descriptor;
    uint32_t number = 0;
    uint32_t baseAddress = kUnresolved;
    uint32_t numberOfElements = 0;
    bool userVisible = false;
    uint32_t writeWindowAddress = kUnresolved;
    uint32_t writeWindowSize = 0;
};

class NamedResource {
public:
    virtual ~NamedResource() = default;
    virtual const ResourceDescriptor& getDescriptor() const = 0;
    virtual uint32_t getResourceId() const = 0;
};

class NamedRegister : public RegisterInfo, public NamedResource {
public:
    static constexpr uint32_t kAccessMayTimeoutBit = 0x80000000;

    const ResourceDescriptor& getDescriptor() const override { return descriptor; }
    // baseAddress + offset, with bit 31 set when an access may time out.
    uint32_t getResourceId() const override;

    std::string name;
};

class NamedFifo : public FifoInfo, public NamedResource {
public:
    const ResourceDescriptor& getDescriptor() const override { return descriptor; }
    uint32_t getResourceId() const override { return number; }

    std::string name;
    std::string baseAddressTag;
    std::string writeWindowAddressTag;
};

}  // namespace zyrask

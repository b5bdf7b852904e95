// The type table and the packed forms of types, descriptors and FIFOs.
#include <gtest/gtest.h>

#include <cstring>
#include <limits>
#include <string>
#include <tuple>
#include <vector>

#include "bitfile/Resources.h"
#include "status/StatusCodes.h"
#include "tests/status/StatusExpect.h"

namespace {

using zyrask::ByteBuffer;
using zyrask::Type;
using zyrask::TypeId;

std::vector<uint8_t> bytesOf(const ByteBuffer& buffer) {
    return std::vector<uint8_t>(buffer.data(), buffer.data() + buffer.size());
}

// Transfer sizes follow from the bits: whole bytes, Boolean in one, fixed point in a power of two.
TEST(TypeTable, TransferSizesFollowFromTheBits) {
    struct Row {
        Type type;
        TypeId id;
        uint32_t bits, bytes;
        bool isSigned;
    };
    const Row rows[] = {
        {Type::fromFixedName("Boolean"), TypeId::Boolean, 1, 1, false},
        {Type::fixedPoint(8, 8, false), TypeId::Fxp, 8, 1, false},
        {Type::fixedPoint(9, 9, false), TypeId::Fxp, 9, 2, false},
        {Type::fixedPoint(16, 16, false), TypeId::Fxp, 16, 2, false},
        {Type::fixedPoint(17, 17, false), TypeId::Fxp, 17, 4, false},
        {Type::fixedPoint(32, 32, false), TypeId::Fxp, 32, 4, false},
        {Type::fixedPoint(33, 33, true), TypeId::Fxp, 33, 8, true},
        {Type::compositeOfBits(0xFFFFFFFF), TypeId::Composite, 0xFFFFFFFF, 0x20000000, false},
    };
    for (const Row& row : rows) {
        const Type& t = row.type;
        EXPECT_EQ(std::make_tuple(t.typeId, t.sizeInBits, t.transferSizeBytes, t.isSigned,
                                  t.integerWordLength),
                  std::make_tuple(row.id, row.bits, row.bytes, row.isSigned, row.bits));
    }
    for (const char* name : {"u8", "FXP", "Cluster", "", "Bool"}) {
        EXPECT_FALSE(Type::fromFixedName(name).isValid()) << name;
    }
}

// The packed type of every fixed name as code/bits/bytes/sign: the code is what the device
// reads, and the Enum names pack as their unsigned type.
TEST(PackedForms, FixedNamesPackTheirCodeSizeAndSign) {
    std::vector<std::string> packed;
    for (const char* name : {"Boolean", "I8", "U8", "EnumU8", "I16", "U16", "EnumU16", "I32", "U32",
                             "EnumU32", "I64", "U64", "EnumU64", "SGL", "DBL"}) {
        ByteBuffer buffer;
        zyerr::Status status;
        Type::fromFixedName(name).serialize(buffer, status);
        const std::vector<uint8_t> b = bytesOf(buffer);
        packed.push_back(std::to_string(b.at(0)) + "/" + std::to_string(b.at(1)) + "/" +
                         std::to_string(b.at(5)) + "/" + std::to_string(b.at(9)));
    }
    EXPECT_EQ(packed, (std::vector<std::string>{"1/1/1/0", "2/8/1/1", "3/8/1/0", "3/8/1/0",
                                                "4/16/2/1", "5/16/2/0", "5/16/2/0", "6/32/4/1",
                                                "7/32/4/0", "7/32/4/0", "8/64/8/1", "9/64/8/0",
                                                "9/64/8/0", "11/32/4/1", "12/64/8/1"}));
}

TEST(PackedForms, TypeDescriptorAndFifoAreLittleEndianWithoutPadding) {
    zyrask::NamedFifo fifo;
    fifo.descriptor = zyrask::FifoDescriptor(zyrask::FifoImplementation::PeerToPeerReader,
                                             Type::fixedPoint(20, -3, true));
    fifo.number = 0x01020304;
    fifo.baseAddress = 0x1880;
    fifo.numberOfElements = 1023;
    fifo.userVisible = true;
    fifo.writeWindowAddress = 0x20000;
    fifo.writeWindowSize = 0x1000;
    fifo.name = "not serialised";

    ByteBuffer buffer;
    zyerr::Status status;
    fifo.serialize(buffer, status);
    ASSERT_CODE(0, status);
    const std::vector<uint8_t> expected = {
        1,    2,                                                     // FIFO, peer-to-peer reader
        10,   20,   0, 0, 0, 4, 0, 0, 0, 1, 0xFD, 0xFF, 0xFF, 0xFF,  // FXP type
        4,    3,    2, 1,                                            // number
        0x80, 0x18, 0, 0,                                            // base address
        0xFF, 0x03, 0, 0,                                            // elements
        1,                                                           // user visible
        0,    0,    2, 0,                                            // write window address
        0,    0x10, 0, 0,                                            // write window size
    };
    EXPECT_EQ(bytesOf(buffer), expected);
    EXPECT_EQ(buffer.size(), zyrask::FifoInfo::kPackedSize);

    ByteBuffer descriptorOnly;
    zyrask::RegisterDescriptor(zyrask::RegisterAccess::ControlArray, Type::fromFixedName("U16"))
        .serialize(descriptorOnly, status);
    EXPECT_EQ(bytesOf(descriptorOnly),
              (std::vector<uint8_t>{0, 3, 5, 16, 0, 0, 0, 2, 0, 0, 0, 0, 16, 0, 0, 0}));
}

TEST(PackedForms, NothingIsAppendedOnceTheStatusIsAnError) {
    ByteBuffer buffer;
    zyerr::Status status(-1);
    Type::fromFixedName("U8").serialize(buffer, status);
    EXPECT_EQ(buffer.size(), 0u);
    EXPECT_CODE(-1, status);

    zyerr::Status warning(5);  // a warning does not stop the packing
    Type::fromFixedName("U8").serialize(buffer, warning);
    EXPECT_EQ(buffer.size(), Type::kPackedSize);
}

TEST(PackedForms, BufferGrowsByHalfItsCapacityAtLeastToEightBytes) {
    ByteBuffer buffer;
    zyerr::Status status;
    buffer.appendU8(1, status);
    EXPECT_EQ(buffer.capacity(), 8u);
    for (int i = 0; i < 8; ++i) buffer.appendU8(2, status);
    EXPECT_EQ(buffer.capacity(), 12u);
    const std::vector<uint8_t> large(100, 7);
    buffer.append(large.data(), large.size(), status);
    EXPECT_EQ(buffer.capacity(), 109u);  // the needed size when it exceeds 1.5 x capacity
    EXPECT_EQ(buffer.size(), 109u);
    EXPECT_CODE(0, status);
}

TEST(PackedForms, SizeNoAllocationCanHoldIsMemoryFullAndKeepsTheBuffer) {
    ByteBuffer buffer;
    zyerr::Status status;
    buffer.appendU32(0x04030201, status);
    const uint8_t source[1] = {9};
    // The length only has to pass the overflow check; realloc refuses it before any byte of
    // the source would be read.
    buffer.append(source, std::numeric_limits<std::size_t>::max() / 2, status);
    EXPECT_CODE(zyerr::codes::MemoryFull, status);
    EXPECT_EQ(bytesOf(buffer), (std::vector<uint8_t>{1, 2, 3, 4}));

    zyerr::Status overflow;
    buffer.append(source, std::numeric_limits<std::size_t>::max() - 1, overflow);
    EXPECT_CODE(zyerr::codes::MemoryFull, overflow);
    EXPECT_EQ(buffer.size(), 4u);
}

}  // namespace

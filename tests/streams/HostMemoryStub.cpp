#include "HostMemoryStub.h"

#include <cstdlib>
#include <cstring>
#include <new>

namespace {

// A handle points at the first member, so a handle leads back to its record.
struct Record {
    uint8_t* block;
    size_t size;
};

Record* recordOf(ZyHostHandle handle) { return reinterpret_cast<Record*>(handle); }

bool resizeBlock(ZyHostHandle handle, size_t size) {
    Record* record = recordOf(handle);
    void* grown = std::realloc(record->block, size == 0 ? 1 : size);
    if (grown == nullptr) return false;
    record->block = static_cast<uint8_t*>(grown);
    if (size > record->size) std::memset(record->block + record->size, 0, size - record->size);
    record->size = size;
    return true;
}

}  // namespace

namespace zytest {

HostMemoryStub& HostMemoryStub::instance() {
    static HostMemoryStub stub;
    return stub;
}

HostHandle::HostHandle(size_t bytes) : handle_(DSNewHandle(bytes)) {
    if (handle_ == nullptr) throw std::bad_alloc();
}

HostHandle::~HostHandle() {
    Record* record = recordOf(handle_);
    std::free(record->block);
    delete record;
}

int32_t HostHandle::word(size_t offset) const {
    int32_t value = 0;
    std::memcpy(&value, block() + offset, 4);
    return value;
}

void HostHandle::setWord(size_t offset, int32_t value) {
    std::memcpy(block() + offset, &value, 4);
}

}  // namespace zytest

extern "C" {

ZyHostHandle DSNewHandle(size_t size) {
    auto* record = new (std::nothrow) Record{nullptr, 0};
    if (record == nullptr) return nullptr;
    if (size != 0 && !resizeBlock(&record->block, size)) {
        delete record;
        return nullptr;
    }
    return &record->block;
}

int32_t DSGetHandleSize(ZyHostHandle handle) {
    return static_cast<int32_t>(recordOf(handle)->size);
}

int32_t DSSetHandleSize(ZyHostHandle handle, size_t size) {
    auto& stub = zytest::HostMemoryStub::instance();
    ++stub.setSizes;
    if (stub.failNextResize) {
        stub.failNextResize = false;
        return 2;
    }
    return resizeBlock(handle, size) ? 0 : 2;
}

// Sizes the block for count elements of the type's size after the length words (8 bytes,
// or 4 for a one-dimensional 16-bit array).
int32_t NumericArrayResize(int32_t typeCode, int32_t dimensions, ZyHostHandle* handle,
                           size_t count) {
    auto& stub = zytest::HostMemoryStub::instance();
    ++stub.numericResizes;
    stub.lastTypeCode = typeCode;
    stub.lastDimensions = dimensions;
    stub.lastCount = count;
    if (stub.failNextResize) {
        stub.failNextResize = false;
        return 2;
    }
    const size_t elementSize = typeCode == 10 ? 8 : typeCode == 2 ? 2 : 1;
    const size_t header = dimensions == 1 && elementSize < 8 ? 4 : 8;
    return resizeBlock(*handle, header + count * elementSize) ? 0 : 2;
}

}  // extern "C"

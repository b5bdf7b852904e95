#include "bitfile/ParseMemory.h"

#include <sys/mman.h>

#include <algorithm>
#include <cstdint>
#include <new>

namespace zyrask::memory {
namespace {

constexpr std::size_t kHugePageBytes = zyostrel::platform::kHugePageBytes;
// The first chunk holds the nodes of a design of a few thousand registers; later chunks
// double, so a document of any size needs a handful.
constexpr std::size_t kFirstChunkBytes = kHugePageBytes;
constexpr std::size_t kLargestChunkBytes = std::size_t{64} << 20;
// Enough for the nodes of designs of tens of thousands of registers; larger ones are rare
// enough to pay for their fresh memory.
constexpr std::size_t kLargestKeptChunkBytes = std::size_t{64} << 20;
constexpr std::size_t kBlockAlignment = alignof(std::max_align_t);

thread_local NodeArena* currentArena = nullptr;

// What one arena leaves for the next on the same thread: its chunk when it needed only one,
// else the size that would have held all it used, so that the next arena takes one chunk.
struct KeptChunk {
    NodeArena::Chunk chunk;
    std::size_t wanted = 0;
};
thread_local KeptChunk kept;

std::size_t roundToHugePages(std::size_t size) {
    return (size + kHugePageBytes - 1) & ~(kHugePageBytes - 1);
}

}  // namespace

NodeArena::NodeArena() : nextChunkSize_(kFirstChunkBytes), previous_(currentArena) {
    currentArena = this;
    // Only the outermost arena on a thread takes the kept chunk, which it alone gives back.
    if (previous_ == nullptr && kept.chunk.data) addChunk(std::move(kept.chunk));
    if (previous_ == nullptr) nextChunkSize_ = std::max(nextChunkSize_, kept.wanted);
}

NodeArena::~NodeArena() {
    currentArena = previous_;
    if (previous_ != nullptr || chunks_.empty()) return;
    if (chunks_.size() == 1 && chunks_.front().size <= kLargestKeptChunkBytes) {
        (void)::madvise(chunks_.front().data.get(), chunks_.front().size, MADV_FREE);
        kept.chunk = std::move(chunks_.front());
        kept.wanted = 0;
        return;
    }
    std::size_t used = 0;
    for (const Chunk& chunk : chunks_) used += chunk.size;
    kept.wanted = std::min(roundToHugePages(used), kLargestKeptChunkBytes);
}

void NodeArena::ChunkDeleter::operator()(char* chunk) const noexcept {
    ::operator delete (chunk, std::align_val_t{kHugePageBytes});
}

void* NodeArena::allocate(std::size_t size) {
    if (currentArena == nullptr) throw std::bad_alloc();
    return currentArena->take(size);
}

void NodeArena::addChunk(Chunk chunk) {
    free_ = chunk.data.get();
    left_ = chunk.size;
    chunks_.push_back(std::move(chunk));
}

void* NodeArena::take(std::size_t size) {
    size = (size + kBlockAlignment - 1) & ~(kBlockAlignment - 1);
    if (size > left_) {
        Chunk chunk;
        chunk.size = std::max(nextChunkSize_, roundToHugePages(size));
        chunks_.reserve(chunks_.size() + 1);
        chunk.data.reset(
            static_cast<char*>(::operator new (chunk.size, std::align_val_t{kHugePageBytes})));
        adviseHugePages(chunk.data.get(), chunk.size);
        addChunk(std::move(chunk));
        nextChunkSize_ = std::min(nextChunkSize_ * 2, kLargestChunkBytes);
    }
    void* block = free_;
    free_ += size;
    left_ -= size;
    return block;
}

}  // namespace zyrask::memory

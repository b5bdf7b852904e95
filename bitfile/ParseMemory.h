// Memory for parsing large bitfiles. A design's document runs to tens of megabytes and its
// parse touches several times that in fresh memory: the text, the parser's nodes, the model and
// its printed texts. Filled through ordinary pages, every 4 KiB costs a page fault, which on
// virtual machines costs more than all the parsing done in it; huge pages cut the faults by
// 512.
#pragma once

#include <cstddef>
#include <memory>
#include <vector>

#include "platform/LargeBuffer.h"

namespace zyrask::memory {

// The parser's ranges are worth the huge-page advice from this size on.
constexpr std::size_t kLargeRangeBytes = std::size_t{1} << 20;

inline void adviseHugePages(const void* data, std::size_t size) noexcept {
    zyostrel::platform::adviseHugePages(data, size, kLargeRangeBytes);
}

// reserve, with the huge-page advice for the storage reserved: for containers about to be
// filled up to the count reserved.
template <class Container>
void reserveForFilling(Container& container, std::size_t count) {
    container.reserve(count);
    adviseHugePages(container.data(), count * sizeof(*container.data()));
}

// The parser's node memory while one document is parsed on this thread. rapidxml asks for its
// blocks one at a time through plain functions; they are carved from a few large chunks that
// are released together when the arena ends. The arena must outlive the document whose pool
// uses it, and arenas on one thread must end in the reverse order of their start.
//
// One chunk of moderate size is kept per thread for the next arena (its pages left to the
// kernel to reclaim when memory runs short): bitfiles are parsed one after another, for each
// session a runtime opens and each image an update writes, and clearing fresh pages for every
// parse would cost as much as the parse itself.
class NodeArena {
public:
    NodeArena();
    ~NodeArena();
    NodeArena(const NodeArena&) = delete;
    NodeArena& operator=(const NodeArena&) = delete;

    // For rapidxml's memory_pool::set_allocator: a block from the thread's current arena
    // (std::bad_alloc when there is no memory), and a release that waits for the arena's end.
    static void* allocate(std::size_t size);
    static void release(void*) noexcept {}

    struct ChunkDeleter {
        void operator()(char* chunk) const noexcept;
    };
    using ChunkPointer = std::unique_ptr<char, ChunkDeleter>;
    struct Chunk {
        ChunkPointer data;
        std::size_t size = 0;
    };

private:
    void* take(std::size_t size);
    void addChunk(Chunk chunk);

    std::vector<Chunk> chunks_;
    std::size_t nextChunkSize_;
    char* free_ = nullptr;
    std::size_t left_ = 0;
    NodeArena* previous_;
};

}  // namespace zyrask::memory

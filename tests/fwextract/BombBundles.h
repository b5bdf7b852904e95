// Decompression bombs: zip bundles of a few MiB whose entries inflate to gigabytes. Each is
// built from one deflated MiB of zeros repeated, so no large buffer is made on the way, and the
// headers may declare a size other than the true one.
#pragma once

#include <zlib.h>

#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

namespace zytest {

constexpr uint32_t kBombPiece = 1u << 20;

struct BombEntry {
    std::string path;
    std::vector<uint8_t> bytes;  // stored as they are when zeroPieces is 0
    uint32_t zeroPieces = 0;     // otherwise this many MiB of zeros, deflated
    bool declareTrueSize = true;
    uint32_t declaredSize = 0;  // the size the headers state when declareTrueSize is false
};

namespace bomb {

// One MiB of zeros deflated and ended by a full flush: the piece refers to nothing before it
// and ends on a byte boundary, so copies of it in a row inflate to that many MiB.
inline const std::vector<uint8_t>& deflatedPiece() {
    static const std::vector<uint8_t> piece = [] {
        std::vector<uint8_t> zeros(kBombPiece);
        z_stream stream{};
        if (deflateInit2(&stream, 9, Z_DEFLATED, -15, 9, Z_DEFAULT_STRATEGY) != Z_OK)
            throw std::runtime_error("deflateInit2");
        std::vector<uint8_t> out(deflateBound(&stream, kBombPiece) + 64);
        stream.next_in = zeros.data();
        stream.avail_in = kBombPiece;
        stream.next_out = out.data();
        stream.avail_out = static_cast<uInt>(out.size());
        const int result = deflate(&stream, Z_FULL_FLUSH);
        out.resize(stream.total_out);
        deflateEnd(&stream);
        if (result != Z_OK || stream.avail_in != 0) throw std::runtime_error("deflate");
        return out;
    }();
    return piece;
}

inline void put16(std::vector<uint8_t>& out, uint32_t value) {
    out.push_back(static_cast<uint8_t>(value));
    out.push_back(static_cast<uint8_t>(value >> 8));
}

inline void put32(std::vector<uint8_t>& out, uint32_t value) {
    put16(out, value & 0xFFFF);
    put16(out, value >> 16);
}

struct Written {
    uint32_t crc = 0;
    uint32_t packed = 0;
    uint32_t inflated = 0;
    uint32_t offset = 0;
};

// The header fields shared by the local and the central header, from "version needed" on.
inline void putCommonHeader(std::vector<uint8_t>& out, const BombEntry& entry,
                            const Written& written) {
    put16(out, 20);                             // version needed
    put16(out, 0);                              // flags
    put16(out, entry.zeroPieces != 0 ? 8 : 0);  // deflate or stored
    put16(out, 0);                              // time
    put16(out, 0x21);                           // date: 1980-01-01
    put32(out, written.crc);
    put32(out, written.packed);
    put32(out, entry.declareTrueSize ? written.inflated : entry.declaredSize);
    put16(out, static_cast<uint32_t>(entry.path.size()));
    put16(out, 0);  // extra field length
}

}  // namespace bomb

// A zip archive of the entries in order. Inflated sizes must stay below 4 GiB.
inline std::vector<uint8_t> bombBundle(const std::vector<BombEntry>& entries) {
    using namespace bomb;
    std::vector<uint8_t> out;
    std::vector<Written> written;
    for (const BombEntry& entry : entries) {
        Written w;
        w.offset = static_cast<uint32_t>(out.size());
        std::vector<uint8_t> data = entry.bytes;
        if (entry.zeroPieces != 0) {
            const std::vector<uint8_t>& piece = deflatedPiece();
            const std::vector<uint8_t> zeros(kBombPiece);
            const uLong pieceCrc = crc32(0, zeros.data(), kBombPiece);
            uLong crc = crc32(0, nullptr, 0);
            data.clear();
            for (uint32_t i = 0; i < entry.zeroPieces; ++i) {
                data.insert(data.end(), piece.begin(), piece.end());
                crc = crc32_combine(crc, pieceCrc, kBombPiece);
            }
            data.push_back(0x03);  // a final, empty block with fixed codes
            data.push_back(0x00);
            w.crc = static_cast<uint32_t>(crc);
            w.inflated = static_cast<uint32_t>(uint64_t{entry.zeroPieces} * kBombPiece);
        } else {
            w.crc = static_cast<uint32_t>(crc32(0, data.data(), static_cast<uInt>(data.size())));
            w.inflated = static_cast<uint32_t>(data.size());
        }
        w.packed = static_cast<uint32_t>(data.size());
        put32(out, 0x04034b50);
        putCommonHeader(out, entry, w);
        out.insert(out.end(), entry.path.begin(), entry.path.end());
        out.insert(out.end(), data.begin(), data.end());
        written.push_back(w);
    }
    const auto directory = static_cast<uint32_t>(out.size());
    for (std::size_t i = 0; i < entries.size(); ++i) {
        put32(out, 0x02014b50);
        put16(out, 20);  // version made by
        putCommonHeader(out, entries[i], written[i]);
        put16(out, 0);  // comment length
        put16(out, 0);  // disk
        put16(out, 0);  // internal attributes
        put32(out, 0);  // external attributes
        put32(out, written[i].offset);
        out.insert(out.end(), entries[i].path.begin(), entries[i].path.end());
    }
    const auto directorySize = static_cast<uint32_t>(out.size() - directory);
    put32(out, 0x06054b50);
    put16(out, 0);
    put16(out, 0);
    put16(out, static_cast<uint32_t>(entries.size()));
    put16(out, static_cast<uint32_t>(entries.size()));
    put32(out, directorySize);
    put32(out, directory);
    put16(out, 0);
    return out;
}

}  // namespace zytest

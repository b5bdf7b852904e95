#include "FlashState.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <mutex>

#include "../Instrument.h"

namespace zyemu {
namespace {

constexpr char kFileMagic[] = "ZYEMU-FLASH-1\n";

// The directory starts from the environment so that separate processes (an example run
// twice) share flash content without a control call.
struct Directory {
    std::mutex mutex;
    std::string path = [] {
        const char* fromEnvironment = std::getenv("ZYEMU_FLASH_STATE_DIR");
        return std::string(fromEnvironment != nullptr ? fromEnvironment : "");
    }();
};

Directory& directory() {
    static Directory instance;
    return instance;
}

std::string fileOf(const Instrument& instrument) {
    const std::string dir = flashStateDirectory();
    if (dir.empty()) return "";
    return dir + "/" + instrument.model().resourceName + ".flash";
}

template <class T>
void put(std::string& out, const T& value) {
    out.append(reinterpret_cast<const char*>(&value), sizeof value);
}

void putBytes(std::string& out, const void* data, std::size_t size) {
    put(out, static_cast<uint32_t>(size));
    out.append(static_cast<const char*>(data), size);
}

// Reads the file's fields in order; any field past the end leaves ok false.
struct Reader {
    const std::string& text;
    std::size_t at = 0;
    bool ok = true;

    template <class T>
    T get() {
        T value{};
        if (!ok || text.size() - at < sizeof value) {
            ok = false;
            return value;
        }
        std::memcpy(&value, text.data() + at, sizeof value);
        at += sizeof value;
        return value;
    }
    std::string bytes() {
        const auto size = get<uint32_t>();
        if (!ok || text.size() - at < size) {
            ok = false;
            return {};
        }
        std::string value = text.substr(at, size);
        at += size;
        return value;
    }
};

std::string serialise(const FlashState& flash) {
    std::string out(kFileMagic);
    put(out, flash.bundleVersion);
    for (const FlashSlot& slot : flash.slots) {
        put(out, static_cast<uint8_t>(slot.holdsImage ? 1 : 0));
        put(out, slot.autoload);
        putBytes(out, slot.metadata.data(), slot.metadata.size());
    }
    for (const AdapterFpgaFlash& fpga : flash.adapterFpgas) {
        put(out, fpga.revision);
        put(out, fpga.crcHigh);
        put(out, fpga.crcLow);
        putBytes(out, fpga.image.data(), fpga.image.size());
    }
    return out;
}

// A file that is absent, or not one this emulator wrote, leaves the factory content.
void load(FlashState& flash, const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return;
    const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (text.compare(0, sizeof kFileMagic - 1, kFileMagic) != 0) return;
    Reader reader{text, sizeof kFileMagic - 1};
    FlashState read;
    read.bundleVersion = reader.get<uint32_t>();
    for (FlashSlot& slot : read.slots) {
        slot.holdsImage = reader.get<uint8_t>() != 0;
        slot.autoload = reader.get<uint8_t>();
        slot.metadata = reader.bytes();
    }
    for (AdapterFpgaFlash& fpga : read.adapterFpgas) {
        fpga.revision = reader.get<uint32_t>();
        fpga.crcHigh = reader.get<uint32_t>();
        fpga.crcLow = reader.get<uint32_t>();
        const std::string image = reader.bytes();
        fpga.image.assign(image.begin(), image.end());
    }
    if (!reader.ok || reader.at != text.size()) return;
    flash.bundleVersion = read.bundleVersion;
    flash.slots = std::move(read.slots);
    flash.adapterFpgas = std::move(read.adapterFpgas);
}

}  // namespace

FlashState::FlashState() {
    slots[kGoldenSlot] = {true, factoryBitfile(), 0};
    slots[kDefaultSlot] = {true, factoryBitfile(), 1};
    if (const char* milliseconds = std::getenv("ZYEMU_FLASH_WRITE_MS")) {
        writeMilliseconds = static_cast<uint32_t>(std::strtoul(milliseconds, nullptr, 10));
    }
}

FlashState& flashOf(Instrument& instrument) {
    FlashState& flash = instrument.state<FlashState>();
    if (!flash.loaded) {
        flash.loaded = true;
        const std::string path = fileOf(instrument);
        if (!path.empty()) load(flash, path);
    }
    return flash;
}

// Written to a temporary file and renamed, so a process ending mid-write leaves the old
// content rather than half a file.
void saveFlash(Instrument& instrument) {
    const std::string path = fileOf(instrument);
    if (path.empty()) return;
    const std::string text = serialise(flashOf(instrument));
    const std::string temporary = path + ".new";
    {
        std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
        out.write(text.data(), static_cast<std::streamsize>(text.size()));
        if (!out) return;
    }
    std::rename(temporary.c_str(), path.c_str());
}

const std::string& factoryBitfile() {
    static const std::string text =
        "<?xml version=\"1.0\"?>\n<Bitfile><BitfileVersion>8.0</BitfileVersion>"
        "<SignatureRegister>FAC70E1D0000000000000000000000F1</SignatureRegister>"
        "<Project><TargetClass>Ostrel-7976</TargetClass>"
        "<AutoRunWhenDownloaded>false</AutoRunWhenDownloaded><CompilationResultsTree>"
        "<CompilationResults><ZyFpga><DmaChannelAllocationList></DmaChannelAllocationList>"
        "<RegisterBlockList></RegisterBlockList></ZyFpga></CompilationResults>"
        "</CompilationResultsTree></Project><VI><RegisterList>"
        "<Register><Name>ViSignature</Name><Offset>0x7FF0</Offset><Internal>true</Internal>"
        "</Register><Register><Name>ViControl</Name><Offset>0x7FF4</Offset>"
        "<Internal>true</Internal></Register></RegisterList><Icon><Image>AAAA</Image>"
        "<Mask>BBBB</Mask><Colors>CCCC</Colors></Icon></VI>"
        "<BitstreamVersion>2</BitstreamVersion><Bitstream>AAECAw==</Bitstream></Bitfile>\n";
    return text;
}

uint32_t revisionOfImage(const std::vector<uint8_t>& image) {
    uint32_t revision = 0;
    if (image.size() >= sizeof revision) std::memcpy(&revision, image.data(), sizeof revision);
    return revision;
}

void setFlashStateDirectory(const std::string& path) {
    std::lock_guard<std::mutex> lock(directory().mutex);
    directory().path = path;
}

std::string flashStateDirectory() {
    std::lock_guard<std::mutex> lock(directory().mutex);
    return directory().path;
}

}  // namespace zyemu

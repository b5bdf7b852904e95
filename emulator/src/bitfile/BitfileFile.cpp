// Reading the bitfile a session is opened on. The path comes from the caller and may name
// anything: a directory or a device has no document to read, and a named pipe without a
// writer would block the open forever, so the kind of file is checked on a descriptor opened
// without waiting, before anything is read.
#include "bitfile/SessionBitfile.h"
#include "platform/RegularFile.h"
#include "zyemu/control.h"

namespace zyemu {

using zyostrel::platform::RegularFileOutcome;

int32_t readBitfileFile(const std::string& path, std::string& text) {
    switch (
        zyostrel::platform::readRegularFile(path.c_str(), ZYEMU_MAX_BITFILE_SIZE, text).outcome) {
        case RegularFileOutcome::Complete:
            return 0;
        case RegularFileOutcome::NotRegular:
            return ZYEMU_STATUS_BITFILE_NOT_A_FILE;
        case RegularFileOutcome::TooLarge:
            return ZYEMU_STATUS_BITFILE_TOO_LARGE;
        default:
            return ZYEMU_STATUS_BITFILE_UNREADABLE;
    }
}

}  // namespace zyemu

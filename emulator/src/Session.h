// A session the emulated runtime handed out.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <string>

#include "Elaboration.h"
#include "Instrument.h"
#include "bitfile/Bitfile.h"

namespace zyemu {

enum class ImageSource { StoredImage, BitfilePath, BitfileText };

struct Session {
    uint32_t handle = 0;
    Instrument* instrument = nullptr;
    ImageSource source = ImageSource::StoredImage;
    std::string image;        // stored image name or bitfile path
    std::string bitfileText;  // the document the session runs
    // The parsed document of a session opened on a bitfile, and its registers by name (the
    // first of a name wins).
    std::shared_ptr<const zyrask::Bitfile> bitfile;
    std::map<std::string, RegisterDefinition> bitfileRegisters;
    uint32_t openAttribute = 0;

    // What the last failing command left, for command 800.
    int32_t lastFailure = 0;
    std::string lastElaboration;

    // Records a failing command. When the text cannot be allocated the failure is kept without
    // one, so command 800 never answers with an older failure's text.
    void leaveFailure(int32_t status, const Elaboration& elaboration) noexcept {
        lastFailure = status;
        lastElaboration.clear();
        try {
            lastElaboration = elaboration.toJson();
        } catch (...) {
            lastElaboration.clear();
        }
    }
};

}  // namespace zyemu

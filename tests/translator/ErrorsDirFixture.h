// A shared directory of its own for each test, with an errors folder the test fills, and the
// status helpers of the translator tests.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <initializer_list>
#include <string>
#include <utility>

#include "platform/Paths.h"
#include "status/Status.h"
#include "support/TempPath.h"
#include "tests/status/StatusExpect.h"

namespace zytest {

// The text of a description file holding one block per (code text, description) pair.
inline std::string descriptionFile(
    std::initializer_list<std::pair<std::string, std::string>> blocks,
    const std::string& declaration = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>") {
    std::string text = declaration + "\n<zydocument>\n";
    for (const auto& [code, description] : blocks) {
        text += "<zyerror code=\"" + code + "\">\n" + description + "\n</zyerror>\n";
    }
    return text + "</zydocument>\n";
}

// Points the shared directory at a fresh temporary one while it lives.
class SharedDir {
public:
    SharedDir() : root_(uniqueTempPath("shared")) {
        std::filesystem::create_directories(root_ + "/errors");
        write("share.dir", root_ + "/\n");
        zyostrel::platform::setShareDirFileForTesting((root_ + "/share.dir").c_str());
    }
    ~SharedDir() {
        zyostrel::platform::setShareDirFileForTesting(nullptr);
        std::error_code ignored;
        std::filesystem::remove_all(root_, ignored);
    }
    SharedDir(const SharedDir&) = delete;
    SharedDir& operator=(const SharedDir&) = delete;

    // Writes a file below the shared directory, making its folders.
    void write(const std::string& relative, const std::string& content) const {
        const std::filesystem::path path = root_ + "/" + relative;
        std::filesystem::create_directories(path.parent_path());
        std::ofstream(path, std::ios::binary) << content;
    }
    // A description file in errors/<folder> ("" for the errors folder itself).
    void writeErrors(const std::string& folder, const std::string& name,
                     const std::string& content) const {
        write("errors/" + (folder.empty() ? "" : folder + "/") + name, content);
    }
    std::string errorsDir() const { return root_ + "/errors"; }

private:
    std::string root_;
};

inline std::string textOf(const zyerr::Status& status) { return zyerr::elaborationText(status); }

}  // namespace zytest

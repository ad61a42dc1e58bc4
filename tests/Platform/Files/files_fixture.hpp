#pragma once
// A private folder mapped as drive C: for one test, with a file-system object to drive it and
// helpers to lay out and read back files.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "Automation/object.hpp"
#include "Platform/Files/drive_map.hpp"
#include "Platform/Files/file_system_object.hpp"
#include "tests/Automation/error_matchers.hpp"
#include "tests/Automation/temp_folder.hpp"

namespace lumora::files::tests {

class FilesTest : public ::testing::Test {
protected:
    void SetUp() override {
        DriveMap::instance().clearAll();
        DriveMap::instance().set("C:", root());
    }
    void TearDown() override { DriveMap::instance().clearAll(); }

    const std::filesystem::path& root() const { return m_folder.path(); }

    void writeBytes(const std::filesystem::path& relative, const std::string& bytes) const {
        std::filesystem::path file = root() / relative;
        std::filesystem::create_directories(file.parent_path());
        std::ofstream(file, std::ios::binary) << bytes;
    }
    std::string readBytes(const std::filesystem::path& relative) const {
        std::ifstream in(root() / relative, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }
    bool present(const std::filesystem::path& relative) const { return std::filesystem::exists(root() / relative); }

    Object fso = makeObject<FileSystemObject>();

private:
    lumora::tests::TempFolder m_folder;
};

}  // namespace lumora::files::tests

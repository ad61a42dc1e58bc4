#pragma once
// Word documents for the tests: templates written from compact WordprocessingML, opened through
// the Word stand-in exactly as the control opens them, and read back after saving.

#include <gtest/gtest.h>

#include <filesystem>
#include <mutex>
#include <string>
#include <vector>

#include "Automation/registry.hpp"
#include "Host/sample_package.hpp"
#include "Host/stand_ins.hpp"
#include "Platform/Desktop/headless_desktop.hpp"
#include "tests/Automation/temp_folder.hpp"
#include "tests/Control/support/docx_reader.hpp"
#include "tests/support/docx_files.hpp"

namespace lumora::testing {

inline void registerStandInsOnce() {
    static std::once_flag once;
    std::call_once(once, [] { host::registerStandIns(); });
}

class WordFixture : public ::testing::Test {
protected:
    void SetUp() override {
        registerStandInsOnce();
        Registry::instance().setDataFolder(temp.path() / "data");
    }

    // A template whose main part holds `body`, with a header and footer when given.
    std::filesystem::path makeTemplate(const std::string& body, const std::string& header = {},
                                       const std::string& footer = {}, const std::string& name = "letter.dotx") {
        const std::filesystem::path path = temp.path() / "templates" / name;
        host::writePackage(path, host::templateParts(body, header, footer));
        return path;
    }

    // Saves the open document under a new name and returns the part's XML.
    std::string savedPart(const Object& document, const std::string& part) {
        const std::filesystem::path path = temp.path() / ("saved" + std::to_string(++m_saves) + ".docx");
        document.call("SaveAs", path.string());
        return readEntry(path, part);
    }

    const std::vector<desktop::MessageBoxRecord>& boxes() const { return desktop.transcript().messageBoxes; }
    std::vector<std::string> boxTexts() const {
        std::vector<std::string> out;
        for (const auto& box : boxes()) out.push_back(box.request.text);
        return out;
    }

    static desktop::SystemConfig systemIn(const tests::TempFolder& folder) {
        desktop::SystemConfig config;
        std::filesystem::create_directories(folder.path() / "tmp");
        config.tempFolder = (folder.path() / "tmp").string() + "/";
        return config;
    }

    tests::TempFolder temp;
    desktop::HeadlessDesktop desktop{systemIn(temp)};
    desktop::ScopedDesktop scope{desktop};

private:
    int m_saves = 0;
};

// A table of one column whose cells hold the given paragraphs (each inner vector is one cell).
inline std::string oneColumnTable(const std::vector<std::vector<std::string>>& cells) {
    std::string rows;
    for (const auto& paragraphs : cells) {
        std::string content;
        for (const std::string& text : paragraphs) content += host::paragraph(text.empty() ? "" : host::run(text));
        rows += "<w:tr><w:tc>" + content + "</w:tc></w:tr>";
    }
    return "<w:tbl><w:tblGrid><w:gridCol w:w=\"4000\"/></w:tblGrid>" + rows + "</w:tbl>" + host::paragraph();
}

}  // namespace lumora::testing

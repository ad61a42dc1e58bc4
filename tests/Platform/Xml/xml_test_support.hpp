#pragma once
// Shared set-up for the XML suites: documents created through the registry as the controls
// create them, and a private temporary folder per test.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "Automation/error.hpp"
#include "Automation/registry.hpp"
#include "Platform/Xml/register.hpp"

namespace lumora::xml::test {

inline Registry& xmlRegistry() {
    static bool registered = [] {
        registerXmlClasses(Registry::instance());
        return true;
    }();
    (void)registered;
    return Registry::instance();
}

inline Object newDocument() { return xmlRegistry().createObject("Msxml2.DOMDocument"); }

// A document loaded from text; the test fails when it does not load.
inline Object loaded(const std::string& xml) {
    Object doc = newDocument();
    EXPECT_TRUE(doc.call("loadXML", xml).toBool()) << doc.get("parseError").toObject().get("reason").toString();
    return doc;
}

class TempFolder {
public:
    TempFolder() {
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        m_path = std::filesystem::temp_directory_path() /
                 ("lumora-xml-" + std::string(info ? info->name() : "suite") + "-" + std::to_string(::getpid()));
        std::filesystem::remove_all(m_path);
        std::filesystem::create_directories(m_path);
    }
    ~TempFolder() {
        std::error_code ignored;
        std::filesystem::remove_all(m_path, ignored);
    }
    const std::filesystem::path& path() const { return m_path; }
    std::filesystem::path write(const std::string& name, const std::string& content) const {
        auto file = m_path / name;
        std::ofstream(file, std::ios::binary) << content;
        return file;
    }

private:
    std::filesystem::path m_path;
};

inline std::string readFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

}  // namespace lumora::xml::test

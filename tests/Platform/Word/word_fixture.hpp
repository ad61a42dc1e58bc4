#pragma once
// A word processor with its templates in a private folder: tests write a template, open a new
// document on it through the object model, work on it late-bound, save it and read the saved
// package back with an independent reader.

#include <gmock/gmock.h>
#include <cstdlib>
#include <fstream>
#include <gtest/gtest.h>

#include "Automation/error.hpp"
#include "Automation/registry.hpp"
#include "Platform/Desktop/headless_desktop.hpp"
#include "Platform/Word/register.hpp"
#include "tests/Automation/temp_folder.hpp"
#include "tests/support/docx_files.hpp"

namespace lumora::testing {

inline std::string fileText(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), {});
}

// The PDF's text as pdftotext reads it.
inline std::string pdfText(const std::filesystem::path& pdf) {
    const auto text = pdf.parent_path() / (pdf.stem().string() + ".txt");
    const std::string command = "pdftotext '" + pdf.string() + "' '" + text.string() + "'";
    if (std::system(command.c_str()) != 0) return "<pdftotext failed>";
    return fileText(text);
}

class WordTest : public ::testing::Test {
protected:
    void SetUp() override {
        word::registerWordClasses(Registry::instance());
        Registry::instance().setDataFolder(data.path());
        app = Registry::instance().createObject("Word.Application");
    }

    std::filesystem::path templateFile(const DocxParts& parts, const std::string& name = "letter.dotx") {
        const auto file = folder.path() / name;
        writeDocx(file, parts);
        return file;
    }
    // A new document on a template with that body, selected whole.
    Object addDocument(const DocxParts& parts) {
        Object document = app.getObject("Documents").call("Add", templateFile(parts).string()).toObject();
        document.call("Select");
        return document;
    }
    Object addDocument(const std::string& body) { return addDocument(withBody(body)); }

    // Saves the document and returns the saved part's XML.
    std::string savedPart(const Object& document, const std::string& part = "word/document.xml") {
        const auto file = folder.path() / "saved.docx";
        document.call("SaveAs", file.string());
        return readEntry(file, part);
    }
    std::string savedText(const Object& document, const std::string& part = "word/document.xml") {
        return visibleText(savedPart(document, part));
    }

    // ReplaceOneTag's body pass as the letters call it: select all, find, type over.
    void typeOverEach(const Object& document, const std::string& tag, const std::string& value) {
        for (int guard = 0; guard < 100; ++guard) {
            document.call("Select");
            const Object find = app.getObject("Selection").getObject("Find");
            find.put("MatchCase", false);
            find.put("Forward", true);
            find.put("Wrap", 1);
            find.put("Text", tag);
            find.call("Execute");
            if (!find.get("Found").toBool()) return;
            app.getObject("Selection").call("TypeText", value);
        }
        FAIL() << "the tag never stopped being found";
    }
    // ReplaceInRange: a replace-all on a range's Find.
    void replaceAll(const Object& range, const std::string& tag, const std::string& value) {
        const Object find = range.getObject("Find");
        find.call("ClearFormatting");
        find.getObject("Replacement").call("ClearFormatting");
        find.put("Text", tag);
        find.getObject("Replacement").put("Text", value);
        find.put("Wrap", 1);
        find.call("Execute", Named{"Replace", 2});
    }

    tests::TempFolder data;
    tests::TempFolder folder;
    desktop::HeadlessDesktop headless;
    desktop::ScopedDesktop scope{headless};
    Object app;
};

}  // namespace lumora::testing

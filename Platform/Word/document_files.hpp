#pragma once
// Reading a document file whatever its kind: a .docx/.dotx/.docm package directly, a legacy
// binary .doc/.dot through LibreOffice's conversion to a package (a clear error without it); and a
// package on a web server, as the word processor opens a template from a web address.

#include <filesystem>
#include <memory>

#include "docx_document.hpp"

namespace lumora::word {

std::unique_ptr<DocxDocument> readDocumentFile(const std::filesystem::path& file);
// The package at an http or https address, fetched with GET within the web client's limits.
// Errors: the web client's transport errors, 53 (File not found) for an answer other than 200,
// and those of a package read from a file.
std::unique_ptr<DocxDocument> readWebDocument(const std::string& address);
// A new empty document, as made without a template.
std::unique_ptr<DocxDocument> blankDocument();
// The file's errors as the word processor gives them: 76 for a missing folder, 53 for a
// missing file, 70 for one it may not read.
void checkReadable(const std::filesystem::path& file);
// The whole file, refused with FileTooLarge beyond limit bytes and 70 when it cannot be read.
std::string readWholeFile(const std::filesystem::path& file, size_t limit);
// True when the file starts like a zip package.
bool isPackageFile(const std::filesystem::path& file);

}  // namespace lumora::word

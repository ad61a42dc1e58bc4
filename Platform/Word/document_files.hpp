#pragma once
// Reading a document file whatever its kind: a .docx/.dotx/.docm package directly, a legacy
// binary .doc/.dot through LibreOffice's conversion to a package (a clear error without it).

#include <filesystem>
#include <memory>

#include "docx_document.hpp"

namespace lumora::word {

std::unique_ptr<DocxDocument> readDocumentFile(const std::filesystem::path& file);
// A new empty document, as made without a template.
std::unique_ptr<DocxDocument> blankDocument();
// The file's errors as the word processor gives them: 76 for a missing folder, 53 for a
// missing file, 70 for one it may not read.
void checkReadable(const std::filesystem::path& file);
// True when the file starts like a zip package.
bool isPackageFile(const std::filesystem::path& file);

}  // namespace lumora::word

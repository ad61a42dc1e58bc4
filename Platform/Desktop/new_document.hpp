#pragma once
// A file the desktop makes for the user to keep or open (a draft mail, an appointment to add to
// a calendar), written into the Lumora documents folder under a name taken from its title.
// The title may come from a page: the name keeps only what is safe in a file name, so no title
// reaches another folder; a name already taken gets " (2)", " (3)"...; and the file appears
// whole or not at all, never half written. Nothing is placed for a call that was cancelled
// (error 18): the page it was for has gone.

#include <filesystem>
#include <functional>
#include <string>
#include <string_view>

namespace lumora::desktop {

// The title as a file name stem: separators, characters no file system takes, control
// characters, leading and trailing dots and blanks removed or replaced; at most 80 characters;
// "Untitled" when nothing is left.
std::string safeFileStem(std::string_view title);

// Writes the bytes to the documents folder as stem + extension (".eml"), under the first free
// name, and returns the file. Error 76 when there is no documents folder, 75 when the file
// cannot be written; nothing is left behind then.
std::filesystem::path saveNewDocument(std::string_view title, std::string_view extension, std::string_view bytes);

// Writes a file that `write` fills (a package or workbook library writing to a path) into the
// documents folder under the first free name among stem1, stem2 … with the extension ("Book1.xlsx",
// "Document2.docx"), whole or not at all. Errors as saveNewDocument, and those of write.
using ScratchWriter = std::function<void(const std::filesystem::path& scratch)>;
std::filesystem::path keepInDocuments(std::string_view stem, std::string_view extension, const ScratchWriter& write);

// A hidden name, unlikely to be taken, for what is written beside its final name first.
std::string scratchName();

// Replaces (or makes) the file with the bytes in one step: they are written beside it first and
// renamed over it, so a reader never sees half a file. Error 75 when it cannot be written; the
// file is then as it was.
void replaceFile(const std::filesystem::path& file, std::string_view bytes);
// The same for content that `write` puts into the scratch file beside it.
void replaceFileWith(const std::filesystem::path& file, const ScratchWriter& write);

}  // namespace lumora::desktop

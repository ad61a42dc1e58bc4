#pragma once
// Showing a document to the user: a document unchanged since it was opened or saved shows its
// own file; any other is written as a .docx under a fresh name in the user's Lumora documents
// folder (Document1.docx, Document2.docx …) and handed to the Desktop, which opens it in the
// person's word processor, records it, or offers it to the page for download.

#include "word_instance.hpp"

namespace lumora::word {

// Never throws: a document that could not be written is still shown, without a file and with
// the reason, so the user learns what became of it.
void showDocument(OpenDocument& document) noexcept;

}  // namespace lumora::word

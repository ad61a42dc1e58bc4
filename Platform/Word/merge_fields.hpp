#pragma once
// Mail merge fields in a document: made over a range as a simple field whose instruction is
// " MERGEFIELD name " and whose result shows «name», so the template reads as the word processor
// shows it and other word processors show the field; and their names read back from either form
// of field instruction.

#include <optional>
#include <string>
#include <string_view>

#include "story.hpp"

namespace lumora::word {

class TextSpan;

// Replaces the span's text by a merge field named `name`, formatted as the span's first
// character; the span is left collapsed after the field, so a Find on it goes on from there.
// Returns the field's element.
XmlNode* insertMergeField(TextSpan& span, std::string_view name);

// The field name of a MERGEFIELD instruction (" MERGEFIELD name \* MERGEFORMAT ", the name may
// be quoted); nullopt for any other field.
std::optional<std::string> mergeFieldName(std::string_view instruction);

}  // namespace lumora::word

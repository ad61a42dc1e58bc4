#pragma once
// Tag replacement in a Word document: one tag of the control's tag lists replaced by its value
// in the body (typed over each occurrence, or deleted with its table line when the value is
// blank) and, on request, in every other story and in the text boxes of headers and footers.
// Word is reached late-bound only, so any object with Word's document model serves.

#include <string_view>

#include "Automation/object.hpp"
#include "record_tag_lists.hpp"

namespace lumora::control {

// Replaces TagList(index) by ValueList(index) in `document`. The story pass runs only when
// replaceInHeader is exactly "true". Traps its own errors after selecting the document: the user
// is told, and the caller goes on with the next index. A failure to select the document, and
// running out of memory (error 7, which Word also gives for a document past its limit on text),
// reach the caller.
void ReplaceOneTag(const RecordTagLists& tags, const Object& document, const Object& application, size_t index,
                   std::string_view replaceInHeader);

// Whether the replace-all visits the main text. It is left alone when the body pass has already
// typed a value that holds its own tag there: a second replacement would nest the value in itself.
enum class MainText { Replaced, LeftAlone };

// Replace-all of `tag` in every story of the document (each linked section of a header or
// footer story included) and in the text boxes of header and footer stories. No trap of its own;
// failures inside the text boxes are ignored.
void ReplaceInAllStories(const Object& document, std::string_view tag, std::string_view value,
                         MainText mainText = MainText::Replaced);

// One Find/Replace-all of `findText` in `range`.
void ReplaceInRange(const Object& range, std::string_view findText, std::string_view replacementText);

}  // namespace lumora::control

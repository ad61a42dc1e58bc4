// Tag replacement through Word's own interface: the body pass types each value over the found
// tag with the selection's Find, so the value takes the tag's formatting; the story pass uses
// replace-all on every story range and on the text frames of header and footer shapes.

#include "Automation/cancellation.hpp"
#include "word_tags.hpp"

#include <algorithm>
#include <string>

#include "Automation/traps.hpp"
#include "Automation/vb/strings.hpp"
#include "Control/frame/control_messages.hpp"
#include "Control/frame/failure_forms.hpp"
#include "Platform/Word/script_constants.hpp"

namespace lumora::control {

namespace {

using word::kMainTextStory;
using word::kReplaceAll;
using word::kUnitCharacter;
using word::kWithInTable;
using word::kWrapContinue;
using word::kWrapStop;
// Headers and footers are the story types from the even pages' header to the first page's footer.
constexpr int32_t kFirstHeaderFooterStory = word::kEvenPagesHeaderStory;
constexpr int32_t kLastHeaderFooterStory = word::kFirstPageFooterStory;
constexpr int32_t kRangeCannotBeEdited = static_cast<int32_t>(RuntimeError::WordRangeCannotBeEdited);
// Values of this many characters or more are never used by replace-all (Word's limit on a
// replacement text); the body pass types them instead.
constexpr int32_t kStoryPassValueLimit = 255;

bool isAscii(std::string_view text) {
    return std::all_of(text.begin(), text.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

std::string asciiLowered(std::string_view text) {
    std::string out(text);
    for (char& c : out)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return out;
}

// Whether the value holds the tag, without regard to case. Tags are nearly always ASCII, whose
// case is folded byte by byte (UTF-8 keeps every other character's bytes apart); any other tag
// is compared after Unicode lower-casing.
bool holdsTag(std::string_view value, std::string_view tag) {
    if (isAscii(tag)) return asciiLowered(value).find(asciiLowered(tag)) != std::string::npos;
    return vb::lCase(value).find(vb::lCase(tag)) != std::string::npos;
}

// How many times the tag occurs in the body from `from` to the end of the main text, counted
// with Word's own Find (so exactly the occurrences the body pass will meet, split runs included),
// each search going on after the previous find. Word's Find reads the document where it stands,
// which costs far less than taking the whole text out for every tag.
int32_t occurrencesFrom(const Object& document, const std::string& tag, Variant from) {
    int32_t count = 0;
    for (;; ++count) {
        checkCancelled();
        const Object range = document.call("Range", Named{"Start", from}, Named{"End", from}).toObject();
        const Object find = range.getObject("Find");
        find.put("MatchCase", false);
        find.put("Forward", true);
        find.put("Wrap", kWrapStop);
        find.put("Text", tag);
        if (!find.call("Execute").toBool()) return count;
        from = range.get("End");
    }
}

// Finds the next occurrence of the tag from the application's current selection; on success the
// selection is the found tag.
bool findInSelection(const Object& application, const std::string& tag) {
    const Object find = application.getObject("Selection").getObject("Find");
    find.put("MatchCase", false);
    find.put("forward", true);
    find.put("wrap", kWrapContinue);
    find.put("text", tag);
    find.call("Execute");
    return find.get("Found").toBool();
}

// Deletes the found tag. Inside a table the character before it (the paragraph mark of a line
// that held only the tag) goes too, unless Word refuses that wider range at the start of a cell.
void deleteFoundTag(const Object& document, const Object& application) {
    Object selectionRange = application.getObject("Selection").getObject("Range");
    const Object tagRange = document.call("Range", Named{"Start", selectionRange.get("Start")},
                                          Named{"End", selectionRange.get("End")})
                                .toObject();
    selectionRange.release();
    if (!tagRange.get("Information", kWithInTable).toBool()) {
        tagRange.call("Delete", Named{"count", 0});
        return;
    }
    tagRange.call("MoveStart", kUnitCharacter, -1);
    ResumeNext ignoring;
    ignoring([&] { tagRange.call("Delete"); });
    if (ignoring.number() == kRangeCannotBeEdited) {
        tagRange.call("MoveStart", kUnitCharacter, 1);
        tagRange.call("Delete");
    }
}

// After typing a value that holds its own tag, the next search starts behind the typed text, so
// the tag inside the value is not taken for the next occurrence.
void continueAfterTypedValue(const Object& document, const Object& application) {
    const Variant end = application.getObject("Selection").get("End");
    document.call("Range", Named{"Start", end}, Named{"End", end}).toObject().call("Select");
}

void replaceInBody(const Object& document, const Object& application, const std::string& tag,
                   const std::string& value) {
    // The occurrences are counted before anything is replaced, and the pass ends after that many
    // replacements even when the value brings the tag back (a value holding its own tag would
    // otherwise never end). The first search of the pass starts the count.
    if (!findInSelection(application, tag)) return;
    int32_t remaining = 1 + occurrencesFrom(document, tag, application.getObject("Selection").get("End"));
    const bool valueHoldsTag = holdsTag(value, tag);
    const bool blankValue = vb::trim(value).empty();
    for (;;) {
        checkCancelled();
        if (blankValue) {
            deleteFoundTag(document, application);
            document.call("Select");
        } else {
            application.getObject("Selection").call("TypeText", value);
            if (valueHoldsTag)
                continueAfterTypedValue(document, application);
            else
                document.call("Select");
        }
        if (--remaining == 0 || !findInSelection(application, tag)) return;
    }
}

}  // namespace

void ReplaceInRange(const Object& range, std::string_view findText, std::string_view replacementText) {
    const Object find = range.getObject("Find");
    find.call("ClearFormatting");
    const Object replacement = find.getObject("Replacement");
    replacement.call("ClearFormatting");
    find.put("Text", std::string(findText));
    replacement.put("Text", std::string(replacementText));
    find.put("Wrap", kWrapContinue);
    find.call("Execute", Named{"Replace", kReplaceAll});
}

void ReplaceInAllStories(const Object& document, std::string_view tag, std::string_view value, MainText mainText) {
    for (const Variant& story : document.getObject("StoryRanges").elements()) {
        Object first = story.toObject();
        if (mainText == MainText::LeftAlone && first.get("StoryType").toI4() == kMainTextStory) continue;
        for (Object range = std::move(first); range; range = range.getObject("NextStoryRange")) {
            ReplaceInRange(range, tag, value);
            ResumeNext ignoring;
            ignoring([&] {
                const int32_t type = range.get("StoryType").toI4();
                if (type < kFirstHeaderFooterStory || type > kLastHeaderFooterStory) return;
                const Object shapes = range.getObject("ShapeRange");
                if (shapes.get("Count").toI4() < 1) return;
                for (const Variant& shape : shapes.elements()) {
                    ignoring([&] {
                        const Object frame = shape.toObject().getObject("TextFrame");
                        if (frame.get("HasText").toBool()) ReplaceInRange(frame.getObject("TextRange"), tag, value);
                    });
                }
            });
        }
    }
}

void ReplaceOneTag(const RecordTagLists& tags, const Object& document, const Object& application, size_t index,
                   std::string_view replaceInHeader) {
    document.call("Select");
    const std::string& tag = tags.TagList.at(index);
    const std::string& value = tags.ValueList.at(index);
    // An empty slot of the lists names no tag: there is nothing to find in any story.
    if (tag.empty()) return;
    if (auto error = tryLocal([&] {
            replaceInBody(document, application, tag, value);
            if (vb::len(value) < kStoryPassValueLimit && replaceInHeader == msg::ReplaceInHeaderOn)
                ReplaceInAllStories(document, tag, value,
                                    holdsTag(value, tag) ? MainText::LeftAlone : MainText::Replaced);
        })) {
        // Memory running out (or Word's limit on a document's text, which stands in for it) and a
        // cancelled call end the letter in its caller's trap: every next tag would fail the same
        // way, each with a message of its own.
        if (error->number() == static_cast<int32_t>(RuntimeError::OutOfMemory) ||
            error->number() == static_cast<int32_t>(RuntimeError::UserInterrupt))
            throw *error;
        tell(std::string(msg::ReplaceOneTagFailed) + error->description());
    }
}

}  // namespace lumora::control

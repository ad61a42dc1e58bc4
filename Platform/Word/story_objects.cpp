// The document's stories, and the text boxes of a story with their text.

#include "Automation/error.hpp"
#include "word_errors.hpp"
#include "story_objects.hpp"
#include "text_span.hpp"

namespace lumora::word {

const TypeInfo& StoryRangeList::typeInfo() const {
    static const TypeInfo info = Collection::collectionTypeInfo("StoryRanges", kAutomationCollection);
    return info;
}

int32_t StoryRangeList::count() { return static_cast<int32_t>(m_document->document().firstStories().size()); }

std::optional<Variant> StoryRangeList::at(int32_t position) {
    const auto stories = m_document->document().firstStories();
    if (position >= static_cast<int32_t>(stories.size())) return std::nullopt;
    Story& story = *stories[static_cast<size_t>(position)];
    return Variant(makeRange(m_word, m_document, story, 0, story.length()));
}

// StoryRanges(type) names a story type, not a position.
Variant StoryRangeList::item(const Variant& key, const CollectionShape&) {
    Story* story = m_document->document().storyOfType(key.toI4());
    if (!story) raise(WordError::NoSuchMember);
    return Variant(makeRange(m_word, m_document, *story, 0, story->length()));
}

const TypeInfo& ShapeList::typeInfo() const {
    static const TypeInfo info = Collection::collectionTypeInfo("ShapeRange", kAutomationCollection);
    return info;
}

std::optional<Variant> ShapeList::at(int32_t position) {
    if (position >= count()) return std::nullopt;
    return Variant(makeObject<ShapeObject>(m_word, m_document, m_frames[static_cast<size_t>(position)]));
}

Object ShapeObject::textFrame() const { return makeObject<ShapeObject>(m_word, m_document, m_frame); }

Object ShapeObject::textRange() const {
    m_document->document();
    return makeRange(m_word, m_document, *m_frame, 0, m_frame->length());
}

bool ShapeObject::hasText() const {
    m_document->document();
    // An empty text box still holds its paragraph mark.
    return m_frame->length() > 1 || m_frame->characters(0, m_frame->length()).find_first_not_of(U"\r\a") != std::u32string::npos;
}

const TypeInfo& ShapeObject::typeInfo() const {
    using S = ShapeObject;
    static const TypeInfo info = [] {
        TypeInfo t("Shape");
        t.getter<S>("TextFrame", 0x1f4, [](S& s) { return Variant(s.textFrame()); });
        t.getter<S>("HasText", 0x1390, [](S& s) { return Variant(s.hasText()); });
        t.getter<S>("TextRange", 0x1392, [](S& s) { return Variant(s.textRange()); });
        return t;
    }();
    return info;
}

}  // namespace lumora::word

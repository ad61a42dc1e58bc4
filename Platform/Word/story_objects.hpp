#pragma once
// The document's stories (StoryRanges) and the text boxes of a story (ShapeRange, Shape, TextFrame).

#include "word_objects.hpp"

namespace lumora::word {

// Document.StoryRanges: one range per story type present; Item(type).
class StoryRangeList : public Collection {
public:
    StoryRangeList(InstanceRef word, DocumentRef document) : m_word(std::move(word)), m_document(std::move(document)) {}
    const TypeInfo& typeInfo() const override;
    int32_t count() override;
    std::optional<Variant> at(int32_t position) override;
    Variant item(const Variant& key, const CollectionShape& shape) override;

private:
    InstanceRef m_word;
    DocumentRef m_document;
};

// The text boxes anchored in a story: ShapeRange, each Shape, its TextFrame.
class ShapeList : public Collection {
public:
    ShapeList(InstanceRef word, DocumentRef document, std::vector<Story*> frames)
        : m_word(std::move(word)), m_document(std::move(document)), m_frames(std::move(frames)) {}
    const TypeInfo& typeInfo() const override;
    int32_t count() override { return static_cast<int32_t>(m_frames.size()); }
    std::optional<Variant> at(int32_t position) override;

private:
    InstanceRef m_word;
    DocumentRef m_document;
    std::vector<Story*> m_frames;
};

class ShapeObject : public Dispatch {
public:
    // A text box's shape and its TextFrame answer alike.
    ShapeObject(InstanceRef word, DocumentRef document, Story* frame)
        : m_word(std::move(word)), m_document(std::move(document)), m_frame(frame) {}
    const TypeInfo& typeInfo() const override;
    Object textFrame() const;
    Object textRange() const;
    bool hasText() const;

private:
    InstanceRef m_word;
    DocumentRef m_document;
    Story* m_frame;
};

}  // namespace lumora::word

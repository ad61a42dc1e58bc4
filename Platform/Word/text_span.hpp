#pragma once
// Ranges and the selection, and the Find and Replacement objects that work on them.

#include "word_objects.hpp"

namespace lumora::word {

// What a range and the selection share: a place in a story and the members working on it.
class TextSpan : public Dispatch {
public:
    // The span's location now; for the selection, wherever it has moved.
    virtual Location& location() = 0;
    virtual FindSettings& findSettings() = 0;
    const InstanceRef& instance() const { return m_word; }

    int32_t start() { return location().span->start; }
    int32_t end() { return location().span->end; }
    Story& story() { return *location().story; }
    DocxDocument& docx() { return location().document->document(); }
    void setStart(int32_t start);
    void setEnd(int32_t end);
    std::string text();
    void setText(const std::string& text);
    // Replaces the span by text; the span then covers the new text.
    void replaceWith(const std::string& text);
    void deleteText(const Variant& unit, const Variant& count);
    int32_t moveStart(const Variant& unit, const Variant& count);
    int32_t moveEnd(const Variant& unit, const Variant& count);
    int32_t moveDown(const Variant& unit, const Variant& count, const Variant& extend);
    Variant information(int32_t type);
    void insertAfter(const std::string& text);
    void insertBefore(const std::string& text);
    void select();
    Object range();
    Object find();
    Object shapeRange();
    Object nextStoryRange();
    Object tables();
    Object fields();

protected:
    explicit TextSpan(InstanceRef word) : m_word(std::move(word)) {}
    int32_t moveEdge(bool startEdge, const Variant& unit, const Variant& count);
    // Pulls the end back before a cell's end mark ("\r\a") when the span ends with one.
    void leaveCellEndMark();
    // The members of Range and Selection alike, added to either table.
    template <class T>
    static void addSpanMembers(TypeInfo& t);

private:
    InstanceRef m_word;
};

class RangeObject : public TextSpan {
public:
    RangeObject(InstanceRef word, Location location) : TextSpan(std::move(word)), m_location(std::move(location)) {}
    const TypeInfo& typeInfo() const override;
    Location& location() override;
    FindSettings& findSettings() override { return m_find; }

private:
    Location m_location;
    FindSettings m_find;
};

// The application's selection: always where the instance's selection is now.
class SelectionObject : public TextSpan {
public:
    explicit SelectionObject(InstanceRef word) : TextSpan(std::move(word)) {}
    const TypeInfo& typeInfo() const override;
    Location& location() override { return instance()->selection(); }
    FindSettings& findSettings() override { return instance()->selectionFind(); }
    void typeText(const std::string& text);
};

// A range over a whole story, or any span of it.
Object makeRange(const InstanceRef& word, const DocumentRef& document, Story& story, int32_t start, int32_t end);

// Find on a range or the selection; Replacement shares its settings.
class FindObject : public Dispatch {
public:
    explicit FindObject(std::shared_ptr<TextSpan> target) : m_target(std::move(target)) {}
    const TypeInfo& typeInfo() const override;
    FindSettings& settings() { return m_target->findSettings(); }
    // Execute's arguments by position: FindText, MatchCase, MatchWholeWord, MatchWildcards,
    // MatchSoundsLike, MatchAllWordForms, Forward, Wrap, Format, ReplaceWith, Replace.
    bool execute(Args& args);
    const std::shared_ptr<TextSpan>& target() const { return m_target; }

private:
    std::shared_ptr<TextSpan> m_target;
};

class ReplacementObject : public Dispatch {
public:
    explicit ReplacementObject(std::shared_ptr<TextSpan> target) : m_target(std::move(target)) {}
    const TypeInfo& typeInfo() const override;
    FindSettings& settings() { return m_target->findSettings(); }

private:
    std::shared_ptr<TextSpan> m_target;
};

}  // namespace lumora::word

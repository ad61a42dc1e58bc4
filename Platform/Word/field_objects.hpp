#pragma once
// The fields within a range, and one field.

#include "text_span.hpp"

namespace lumora::word {

// Fields within a range.
class FieldList : public Collection {
public:
    FieldList(std::shared_ptr<TextSpan> range, std::vector<XmlNode*> fields)
        : m_range(std::move(range)), m_fields(std::move(fields)) {}
    const TypeInfo& typeInfo() const override;
    int32_t count() override { return static_cast<int32_t>(m_fields.size()); }
    std::optional<Variant> at(int32_t position) override;
    void unlinkAll();

private:
    std::shared_ptr<TextSpan> m_range;
    std::vector<XmlNode*> m_fields;
};

// Makes a merge field named `name` over a range script passed (a Range or the Selection) and
// returns it as a Field; BadArgument when the argument is no range.
Object addMergeField(const Variant& range, std::string_view name);

class FieldObject : public Dispatch {
public:
    FieldObject(std::shared_ptr<TextSpan> range, XmlNode* field) : m_range(std::move(range)), m_field(field) {}
    const TypeInfo& typeInfo() const override;
    std::string code() const;
    void unlink();

private:
    std::shared_ptr<TextSpan> m_range;
    XmlNode* m_field;
};

}  // namespace lumora::word

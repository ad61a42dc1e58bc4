#pragma once
// parseError: why the last load of a document failed (errorCode 0 when it did not). Its members
// are plain read-only properties, served by a property table over the failure's fields.

#include <optional>

#include "Automation/property_table.hpp"
#include "parser.hpp"

namespace lumora::xml {

class ParseErrorObject final : public Dispatch {
public:
    explicit ParseErrorObject(const std::optional<ParseFailure>& failure);
    const TypeInfo& typeInfo() const override;
    PropertyStore& properties() { return m_fields; }

private:
    MemoryPropertyStore m_fields;
};

}  // namespace lumora::xml

#include "collection.hpp"

#include <climits>

#include "error.hpp"

namespace lumora {

std::optional<Variant> Collection::named(std::string_view) { return std::nullopt; }

Variant Collection::item(const Variant& key, const CollectionShape& shape) {
    if (key.isString())
        if (auto element = named(key.str())) return std::move(*element);
    return atPosition(key.toI4(), shape);
}

Variant Collection::collectionOrItem(const Object& collection, Args& args) {
    if (!args.has(0)) return Variant(collection);
    return collection.as<Collection>()->item(args[0], kAutomationCollection);
}

Variant Collection::atPosition(int64_t position, const CollectionShape& shape) {
    const int64_t offset = position - shape.firstPosition;
    if (offset >= 0 && offset <= INT32_MAX)
        if (auto element = at(static_cast<int32_t>(offset))) return std::move(*element);
    if (shape.outOfRange == OutOfRange::Nothing) return Variant(Object());
    raise(RuntimeError::SubscriptOutOfRange);
}

std::optional<std::vector<Variant>> Collection::elements() {
    std::vector<Variant> out;
    for (int32_t i = 0;; ++i) {
        auto element = at(i);
        if (!element) return out;
        out.push_back(std::move(*element));
    }
}

TypeInfo Collection::collectionTypeInfo(std::string className, const CollectionShape& shape) {
    TypeInfo info(std::move(className));
    addCollectionMembers(info, shape);
    return info;
}

void Collection::addCollectionMembers(TypeInfo& info, const CollectionShape& shape) {
    info.getter<Collection>(shape.countName, shape.countId, [](Collection& c) { return Variant(c.count()); });
    info.add(TypeInfo::member<Collection>(shape.itemName, kDispIdValue, shape.itemKind, shape.itemParams,
                                          shape.itemRequired,
                                          [shape](Collection& c, Args& a) { return c.item(a[0], shape); }));
}

}  // namespace lumora

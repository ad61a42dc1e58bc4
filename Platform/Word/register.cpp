#include "register.hpp"

#include "Automation/class_ids.hpp"
#include "word_objects.hpp"

namespace lumora::word {

void registerWordClasses(Registry& registry) {
    registry.registerBuiltin(ClassInfo{std::string(progid::Word), {}, {}, [] { return makeObject<WordApplication>(); }, false});
}

}  // namespace lumora::word

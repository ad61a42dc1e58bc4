#pragma once
// One step of a fuzz target whose refusal is an expected outcome: an input may be refused with
// any error; a target fails only by crashing, hanging or leaking.

#include <exception>

namespace lumora::fuzz {

template <class F>
void tolerate(F&& step) {
    try {
        step();
    } catch (const std::exception&) {
        // Refused: the expected outcome for many inputs.
    }
}

}  // namespace lumora::fuzz

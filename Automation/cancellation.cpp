#include "cancellation.hpp"

#include "error.hpp"

namespace lumora {

namespace {
thread_local const CancelFlag* t_flag = nullptr;
}

ScopedCancelFlag::ScopedCancelFlag(const CancelFlag& flag) : m_previous(t_flag) { t_flag = &flag; }

ScopedCancelFlag::~ScopedCancelFlag() { t_flag = m_previous; }

bool cancelRequested() { return t_flag != nullptr && t_flag->cancelled(); }

void checkCancelled() {
    if (cancelRequested()) raise(RuntimeError::UserInterrupt);
}

}  // namespace lumora

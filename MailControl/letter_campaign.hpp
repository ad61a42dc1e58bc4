#pragma once
// Letter campaigns: a word-processor mail merge of the recipients into a template, run in the
// progress window or directly by the control.

#include <string>

#include "Automation/variant.hpp"
#include "mail_control.hpp"

namespace lumora::mail {

// The window merge: the window shows every step and any failure itself.
void runWindowMerge(LumoraMailCtrl& control, const Variant& recipients, const std::string& templatePath);

// The direct merge: "Success" or the failing stage's text. A missing template raises, for the
// campaign's own handler.
std::string runDirectMerge(LumoraMailCtrl& control, const Variant& recipients, const std::string& templatePath);

// The text a failed stage returns: its prefix and the error's description, after the control
// has let go of the word processor.
std::string stageFailure(LumoraMailCtrl& control, std::string_view prefix, const Error& error);

}  // namespace lumora::mail

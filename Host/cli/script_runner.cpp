#include "script_runner.hpp"

#include "Automation/registry.hpp"
#include "Automation/traps.hpp"
#include "transcript.hpp"

namespace lumora::host::cli {

namespace {

using nlohmann::json;

MemberKind memberKindOf(StepKind kind) {
    switch (kind) {
        case StepKind::Get: return MemberKind::PropertyGet;
        case StepKind::Put: return MemberKind::PropertyPut;
        default: return MemberKind::Method;
    }
}

}  // namespace

ScriptRunner::ScriptRunner(Session& session, desktop::SystemConfig config, bool launchPrograms)
    : m_session(session), m_config(std::move(config)), m_launchPrograms(launchPrograms) {}

ObjectId ScriptRunner::objectNamed(const std::string& name) const {
    auto it = m_names.find(name);
    // A name whose step failed holds Nothing, as a script variable does after a failed Set.
    if (it == m_names.end() || !it->second) raise(RuntimeError::ObjectNotSet);
    return *it->second;
}

json ScriptRunner::withObjectIds(const json& value) const {
    if (value.is_array()) {
        json out = json::array();
        for (const auto& item : value) out.push_back(withObjectIds(item));
        return out;
    }
    if (!value.is_object()) return value;
    if (value.size() == 1 && value.contains("$object") && value["$object"].is_string()) {
        auto it = m_names.find(value["$object"].get<std::string>());
        if (it == m_names.end() || !it->second) return {{"$object", nullptr}};
        return {{"$object", *it->second}};
    }
    json out = json::object();
    for (const auto& [key, inner] : value.items()) out[key] = withObjectIds(inner);
    return out;
}

void ScriptRunner::name(const std::string& as, const json& result) {
    if (as.empty()) return;
    bool isObject = result.is_object() && result.contains("$object") && result["$object"].is_number_integer();
    m_names[as] = isObject ? std::optional<ObjectId>(result["$object"].get<ObjectId>()) : std::nullopt;
}

StepOutcome ScriptRunner::perform(const ScriptStep& step) {
    StepOutcome outcome;
    outcome.result = m_session.encode(Variant());
    if (step.kind == StepKind::Set) {
        Registry::instance().setFaults(step.faults);
        return outcome;
    }
    json args = withObjectIds(step.args);
    if (step.kind == StepKind::Put) args.push_back(withObjectIds(step.value));
    // Until the member has run, the arguments are what the script passed.
    outcome.byref = args;
    outcome.error = tryLocal([&] {
        if (step.kind == StepKind::Create) {
            outcome.result = json{{"$object", m_session.create(step.target)}};
            return;
        }
        CallResult called =
            m_session.call(objectNamed(step.target), step.member, memberKindOf(step.kind), args, withObjectIds(step.named));
        outcome.result = std::move(called.result);
        outcome.byref = json(std::move(called.byref));
    });
    return outcome;
}

json ScriptRunner::runStep(size_t index, const ScriptStep& step) {
    auto& desktop = *m_desktops.emplace_back(std::make_unique<desktop::HeadlessDesktop>(m_config));
    desktop.setLaunchPrograms(m_launchPrograms);
    desktop.setCallStates(m_callStates);
    desktop.queueAnswers(step.answers);
    for (const auto& click : step.clicks) desktop.queueClick(click);

    StepOutcome outcome;
    {
        desktop::ScopedDesktop scoped(desktop);
        outcome = perform(step);
    }
    if (!outcome.error) name(step.as, outcome.result);
    else if (!step.as.empty()) m_names[step.as] = std::nullopt;
    return transcriptEntry(index, outcome, desktop.transcript(), m_callStates->take());
}

json ScriptRunner::run(const Script& script) {
    json steps = json::array();
    stream(script, [&](const json& entry) { steps.push_back(entry); });
    return {{"steps", std::move(steps)}};
}

void ScriptRunner::stream(const Script& script, const std::function<void(const json& entry)>& emit) {
    if (script.now) m_config.pinnedNow = script.now;
    for (size_t i = 0; i < script.steps.size(); ++i) emit(runStep(i, script.steps[i]));
}

}  // namespace lumora::host::cli

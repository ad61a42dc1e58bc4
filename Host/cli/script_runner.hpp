#pragma once
// Runs script steps in one session, each against a headless desktop of its own, so that the
// answers and clicks a step scripts are used by that step alone and its transcript entry holds
// exactly what it showed.

#include <functional>
#include <map>
#include <memory>
#include <nlohmann/json.hpp>
#include <optional>
#include <vector>

#include "Host/session.hpp"
#include "Platform/Desktop/headless_desktop.hpp"
#include "script.hpp"
#include "transcript.hpp"

namespace lumora::host::cli {

class ScriptRunner {
public:
    ScriptRunner(Session& session, desktop::SystemConfig config, bool launchPrograms);

    // The transcript entry of one step. A step that raises is recorded with its error.
    nlohmann::json runStep(size_t index, const ScriptStep& step);
    // {"steps": [entry, …]}; the script's "now", when given, pins the clock for all its steps.
    nlohmann::json run(const Script& script);
    // Runs the script as run() does, handing each step's entry on as soon as the step has
    // returned: its top-level call has ended, so what it wrote is durable by then.
    void stream(const Script& script, const std::function<void(const nlohmann::json& entry)>& emit);

private:
    StepOutcome perform(const ScriptStep& step);
    ObjectId objectNamed(const std::string& name) const;
    nlohmann::json withObjectIds(const nlohmann::json& value) const;
    void name(const std::string& as, const nlohmann::json& result);

    Session& m_session;
    desktop::SystemConfig m_config;
    bool m_launchPrograms;
    // Names given by "as"; nullopt when the step that named it produced no object.
    std::map<std::string, std::optional<ObjectId>> m_names;
    // A control may keep a reference to the desktop it was first called on; the desktops of
    // earlier steps stay alive until the run ends.
    std::vector<std::unique_ptr<desktop::HeadlessDesktop>> m_desktops;
    // What the run's calls reported, taken into the transcript of the step during which it came.
    std::shared_ptr<desktop::RecordedCallStates> m_callStates = std::make_shared<desktop::RecordedCallStates>();
};

}  // namespace lumora::host::cli

#include "script.hpp"

#include <limits>
#include <set>

#include "Host/value_encoding.hpp"

namespace lumora::host::cli {

namespace {

using nlohmann::json;

// The keys each kind of step may have besides the one that names its kind.
const std::set<std::string> kInvokeKeys{"member", "args", "named", "answers", "clicks", "as"};
const std::set<std::string> kPutKeys{"member", "args", "value", "answers", "clicks"};
const std::set<std::string> kCreateKeys{"as", "answers", "clicks"};
const std::set<std::string> kFaultKeys{"absent", "notRunning", "failFirst"};

struct StepReader {
    size_t index;
    const json& step;
    const std::set<std::string>& declaredNames;

    [[noreturn]] void fail(const std::string& what) const {
        throw ScriptError("step " + std::to_string(index) + ": " + what);
    }

    std::string string(const std::string& key) const {
        if (!step.contains(key)) fail("'" + key + "' is missing");
        if (!step[key].is_string() || step[key].get_ref<const std::string&>().empty())
            fail("'" + key + "' must be a string");
        return step[key].get<std::string>();
    }

    std::string optionalName(const std::string& key) const { return step.contains(key) ? string(key) : std::string(); }

    void onlyKeys(const std::string& kindKey, const std::set<std::string>& allowed) const {
        for (const auto& [key, value] : step.items())
            if (key != kindKey && !allowed.count(key)) fail("unknown key '" + key + "'");
    }

    std::string objectName(const std::string& key) const {
        std::string name = string(key);
        if (!declaredNames.count(name)) fail("no object is named '" + name + "' by an earlier step's \"as\"");
        return name;
    }

    // {"$object": NAME} anywhere in a value must name an object of an earlier step.
    void checkObjectNames(const json& value, const std::string& where) const {
        if (value.is_object()) {
            if (value.size() == 1 && value.contains("$object") && value["$object"].is_string()) {
                const auto& name = value["$object"].get_ref<const std::string&>();
                if (!declaredNames.count(name))
                    fail(where + ": no object is named '" + name + "' by an earlier step's \"as\"");
                return;
            }
            for (const auto& [key, inner] : value.items()) checkObjectNames(inner, where);
        } else if (value.is_array()) {
            for (const auto& inner : value) checkObjectNames(inner, where);
        }
    }

    json args() const {
        if (!step.contains("args")) return json::array();
        if (!step["args"].is_array()) fail("'args' must be an array");
        checkObjectNames(step["args"], "'args'");
        return step["args"];
    }

    json named() const {
        if (!step.contains("named")) return json::object();
        if (!step["named"].is_object()) fail("'named' must be an object of name: value");
        checkObjectNames(step["named"], "'named'");
        return step["named"];
    }

    std::vector<int16_t> answers() const {
        std::vector<int16_t> out;
        if (!step.contains("answers")) return out;
        if (!step["answers"].is_array()) fail("'answers' must be an array of button codes");
        for (const auto& answer : step["answers"]) {
            if (!answer.is_number_integer() || answer.get<int64_t>() < 1 ||
                answer.get<int64_t>() > std::numeric_limits<int16_t>::max())
                fail("'answers' must hold button codes (1 OK, 2 Cancel, 6 Yes, 7 No, ...)");
            out.push_back(static_cast<int16_t>(answer.get<int64_t>()));
        }
        return out;
    }

    std::vector<desktop::ScriptedClick> clicks() const {
        std::vector<desktop::ScriptedClick> out;
        if (!step.contains("clicks")) return out;
        if (!step["clicks"].is_array()) fail("'clicks' must be an array");
        for (const auto& click : step["clicks"]) {
            if (!click.is_object() || !click.contains("window") || !click["window"].is_string() ||
                !click.contains("button") || !click["button"].is_string())
                fail("each click must be {\"window\": name, \"button\": name, \"afterPumps\": n}");
            for (const auto& [key, value] : click.items())
                if (key != "window" && key != "button" && key != "afterPumps") fail("unknown key '" + key + "' in a click");
            desktop::ScriptedClick scripted{click["window"].get<std::string>(), click["button"].get<std::string>(), 0};
            if (click.contains("afterPumps")) {
                const auto& pumps = click["afterPumps"];
                if (!pumps.is_number_integer() || pumps.get<int64_t>() < 0 ||
                    pumps.get<int64_t>() > std::numeric_limits<int32_t>::max())
                    fail("'afterPumps' must be a whole number from 0");
                scripted.afterPumps = static_cast<int32_t>(pumps.get<int64_t>());
            }
            out.push_back(std::move(scripted));
        }
        return out;
    }

    std::set<std::string> progIds(const json& faults, const std::string& key) const {
        std::set<std::string> out;
        if (!faults.contains(key)) return out;
        if (!faults[key].is_array()) fail("'" + key + "' must be an array of ProgIDs");
        for (const auto& progId : faults[key]) {
            if (!progId.is_string()) fail("'" + key + "' must be an array of ProgIDs");
            out.insert(progId.get<std::string>());
        }
        return out;
    }

    ScriptStep read() const {
        if (!step.is_object()) fail("a step must be an object");
        ScriptStep out;
        if (step.contains("create")) {
            onlyKeys("create", kCreateKeys);
            out.kind = StepKind::Create;
            out.target = string("create");
        } else if (step.contains("call") || step.contains("get")) {
            std::string key = step.contains("call") ? "call" : "get";
            onlyKeys(key, kInvokeKeys);
            out.kind = key == "call" ? StepKind::Call : StepKind::Get;
            out.target = objectName(key);
            out.member = string("member");
            out.args = args();
            out.named = named();
        } else if (step.contains("put")) {
            onlyKeys("put", kPutKeys);
            out.kind = StepKind::Put;
            out.target = objectName("put");
            out.member = string("member");
            out.args = args();
            if (!step.contains("value")) fail("'value' is missing");
            out.value = step["value"];
            checkObjectNames(out.value, "'value'");
        } else if (step.contains("set")) {
            onlyKeys("set", {});
            const json& faults = step["set"];
            if (!faults.is_object()) fail("'set' must be an object");
            for (const auto& [key, value] : faults.items())
                if (!kFaultKeys.count(key)) fail("unknown key '" + key + "' in 'set'");
            out.kind = StepKind::Set;
            out.faults = RegistryFaults{progIds(faults, "absent"), progIds(faults, "notRunning"),
                                        progIds(faults, "failFirst")};
        } else {
            fail("a step needs one of \"create\", \"call\", \"get\", \"put\" or \"set\"");
        }
        if (out.kind != StepKind::Set) {
            out.answers = answers();
            out.clicks = clicks();
        }
        if (out.kind == StepKind::Create || out.kind == StepKind::Call || out.kind == StepKind::Get)
            out.as = optionalName("as");
        return out;
    }
};

}  // namespace

Script parseScript(const json& document) {
    if (!document.is_object()) throw ScriptError("a script must be an object {\"steps\": [...]}");
    for (const auto& [key, value] : document.items())
        if (key != "now" && key != "steps") throw ScriptError("unknown key '" + key + "' in the script");
    Script script;
    if (document.contains("now")) {
        if (document["now"].is_string()) script.now = parseEncodedDate(document["now"].get<std::string>());
        if (!script.now) throw ScriptError("'now' must read yyyy-MM-ddTHH:mm:ss");
    }
    if (!document.contains("steps") || !document["steps"].is_array())
        throw ScriptError("'steps' must be an array");

    std::set<std::string> declaredNames;
    const json& steps = document["steps"];
    for (size_t i = 0; i < steps.size(); ++i) {
        ScriptStep step = StepReader{i, steps[i], declaredNames}.read();
        if (!step.as.empty()) declaredNames.insert(step.as);
        script.steps.push_back(std::move(step));
    }
    return script;
}

}  // namespace lumora::host::cli

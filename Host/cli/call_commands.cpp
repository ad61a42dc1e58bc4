// The commands that create objects and call them: call, run and members.

#include <algorithm>
#include <array>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <sstream>

#include "Automation/registry.hpp"
#include "Automation/top_level_call.hpp"
#include "Host/value_encoding.hpp"
#include "commands.hpp"
#include "script.hpp"
#include "script_runner.hpp"

namespace lumora::host::cli {

int createAndCall(const CliOptions& options, const std::string& progId, const std::string& member,
                  nlohmann::json args) {
    prepareHost(options);

    ScriptStep create;
    create.kind = StepKind::Create;
    create.target = progId;
    create.as = "object";
    ScriptStep call;
    call.kind = StepKind::Call;
    call.target = "object";
    call.member = member;
    call.args = std::move(args);

    Session session;
    ScriptRunner runner(session, options.systemConfig(), options.launchPrograms);
    nlohmann::json entry = runner.runStep(0, create);
    if (entry["error"].is_null()) entry = runner.runStep(0, call);
    printJson(entry);
    return entry["error"].is_null() ? kExitOk : kExitFailed;
}

namespace {

using nlohmann::json;

constexpr size_t kMaxScriptBytes = 64u << 20;

// An argument given on the command line: a JSON value in the value encoding when it reads as
// JSON, else the text itself ("hello", C:\temp\a.docx).
json argumentValue(const std::string& text) {
    if (!json::accept(text)) return text;
    return parseJsonLimited(text);
}

int runCall(const CliOptions& options, const std::vector<std::string>& rawArgs) {
    auto args = positionalArgs("call", rawArgs);
    if (args.size() < 2) throw UsageError("call needs a ProgID and a member: lumora call PROGID MEMBER [ARG...]");
    json callArgs = json::array();
    for (size_t i = 2; i < args.size(); ++i) callArgs.push_back(argumentValue(args[i]));
    // The command is one unit of work: the creation and the call together.
    TopLevelCall unitOfWork("lumora call " + args[0] + " " + args[1]);
    const int status = createAndCall(options, args[0], args[1], std::move(callArgs));
    unitOfWork.finish();  // work that could not be kept ends the command with its error
    return status;
}

// Reads at most the script limit, whatever the size on disk claims: a device or a pipe
// (/dev/zero, a FIFO) has no size and may never end.
std::string readAtMost(std::istream& in, const std::string& source) {
    std::string text;
    std::array<char, 64 * 1024> chunk;
    while (in) {
        in.read(chunk.data(), chunk.size());
        text.append(chunk.data(), static_cast<size_t>(in.gcount()));
        if (text.size() > kMaxScriptBytes) throw ScriptError("the script is larger than 64 MiB");
    }
    if (in.bad()) throw ScriptError("cannot read the script '" + source + "'");
    return text;
}

std::string readScriptText(const std::string& source) {
    if (source == "-") return readAtMost(std::cin, "standard input");
    std::error_code ec;
    if (std::filesystem::is_directory(source, ec)) throw ScriptError("'" + source + "' is a folder, not a script");
    std::ifstream in(source, std::ios::binary);
    if (!in) throw UsageError("run: cannot read the script '" + source + "'");
    return readAtMost(in, source);
}

// Takes --stream out of the arguments before "--"; true when it was there.
bool takeStreamOption(std::vector<std::string>& args) {
    auto end = std::find(args.begin(), args.end(), "--");
    auto option = std::find(args.begin(), end, "--stream");
    if (option == end) return false;
    args.erase(option);
    return true;
}

int runScript(const CliOptions& options, const std::vector<std::string>& rawArgs) {
    std::vector<std::string> withoutOptions = rawArgs;
    const bool streaming = takeStreamOption(withoutOptions);
    auto args = positionalArgs("run", withoutOptions);
    if (args.size() != 1) throw UsageError("run needs one script: lumora run [--stream] SCRIPT.json (or - for stdin)");
    Script script;
    try {
        script = parseScript(parseJsonLimited(readScriptText(args[0])));
    } catch (const Error& e) {
        throw ScriptError("the script is not JSON: " + e.description());
    }
    prepareHost(options);
    Session session;
    ScriptRunner runner(session, options.systemConfig(), options.launchPrograms);
    // A streamed step's line is out only once what it wrote is durable, so a reader that sees
    // the line may rely on the step's work whatever becomes of the process afterwards.
    if (streaming)
        runner.stream(script, printJsonLine);
    else
        printJson(runner.run(script));
    return kExitOk;
}

std::string kindName(MemberKind kind) {
    switch (kind) {
        case MemberKind::Method: return "method";
        case MemberKind::PropertyGet: return "get";
        case MemberKind::PropertyPut: return "put";
        case MemberKind::PropertyPutRef: return "putref";
    }
    return "";
}

std::string parameterList(const MemberDef& def, size_t count) {
    std::string text;
    for (size_t i = 0; i < count; ++i) {
        if (i) text += ", ";
        text += i < def.required ? def.params[i] : "[" + def.params[i] + "]";
    }
    if (def.variadic) text += count == 0 ? "..." : ", ...";
    return text;
}

// As script writes the member: "Greet(name, [greeting])", a property "Caption", an assignment
// "Caption = value" or "Item(index) = value". Parameter names are those named arguments use.
std::string signature(const MemberDef& def) {
    bool isPut = def.kind == MemberKind::PropertyPut || def.kind == MemberKind::PropertyPutRef;
    size_t count = isPut && !def.params.empty() ? def.params.size() - 1 : def.params.size();
    std::string text = def.name;
    if (def.kind == MemberKind::Method || count > 0 || def.variadic) text += "(" + parameterList(def, count) + ")";
    if (isPut) text += " = " + (def.params.empty() ? std::string("value") : def.params.back());
    return text;
}

int listMembers(const CliOptions& options, const std::vector<std::string>& rawArgs) {
    auto args = positionalArgs("members", rawArgs);
    if (args.size() != 1) throw UsageError("members needs a ProgID: lumora members PROGID");
    prepareHost(options);
    Object object = Registry::instance().createObject(args[0]);
    for (const MemberDef& def : object.typeInfo().members()) {
        char id[16];
        std::snprintf(id, sizeof id, "0x%08x", static_cast<uint32_t>(def.id));
        std::string kind = kindName(def.kind);
        std::cout << id << "  " << kind << std::string(8 - kind.size(), ' ') << signature(def) << '\n';
    }
    return kExitOk;
}

const CommandRegistration kCall{{"call", "call PROGID MEMBER [ARG...]",
                                 "creates the object, calls the member and prints that step's transcript", runCall}};
const CommandRegistration kRun{{"run", "run [--stream] SCRIPT.json|-",
                                "runs a script of creates, calls and answers; prints the transcript, or with "
                                "--stream each step's entry as one JSON line as soon as the step has returned "
                                "and what it wrote is on disk",
                                runScript}};
const CommandRegistration kMembers{{"members", "members PROGID",
                                    "lists the members with dispatch ids, kinds and parameters", listMembers}};

}  // namespace

}  // namespace lumora::host::cli

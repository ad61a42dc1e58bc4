// `lumora serve`: the bridge for CRM pages on 127.0.0.1, or with --native-messaging one page
// over stdin/stdout for a browser extension. Registers itself in the lumora command table.

#include <signal.h>
#include <unistd.h>

#include <boost/system/system_error.hpp>
#include <cerrno>
#include <charconv>
#include <cstdlib>
#include <iostream>
#include <map>
#include <mutex>

#include "Automation/registry.hpp"
#include "Host/cli/commands.hpp"
#include "Host/sample_template.hpp"
#include "Host/startup.hpp"
#include "Platform/Desktop/helper_processes.hpp"
#include "Platform/Desktop/system_services.hpp"
#include "Platform/Telephony/line_agent.hpp"
#include "background_sync.hpp"
#include "bridge_server.hpp"
#include "native_messaging.hpp"

namespace lumora::bridge {
namespace {

using host::cli::CliOptions;
using host::cli::UsageError;

// How long the running calls have to end once the bridge is told to stop; the helpers' end
// and the process's own follow within the second after.
constexpr std::chrono::seconds kCallsStopGrace{4};

// How often the PIM syncs with its groupware accounts while the bridge runs, unless told.
constexpr std::chrono::seconds kDefaultSyncInterval{300};

struct ServeArgs {
    uint16_t port = 8765;
    std::chrono::seconds syncInterval = kDefaultSyncInterval;
    std::vector<std::string> allowedOrigins;
    std::vector<std::string> extraClasses;
    bool nativeMessaging = false;
    bool verbose = false;
};

uint16_t parsePort(const std::string& text) {
    unsigned value = 0;
    auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec != std::errc() || end != text.data() + text.size() || value > 65535)
        throw UsageError("serve: --port needs a number from 0 to 65535, not '" + text + "'");
    return static_cast<uint16_t>(value);
}

std::chrono::seconds parseSyncInterval(const std::string& text) {
    unsigned value = 0;
    auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec != std::errc() || end != text.data() + text.size() || value < 1 || value > 86400)
        throw UsageError("serve: --sync-every needs a number of seconds from 1 to 86400, not '" + text + "'");
    return std::chrono::seconds(value);
}

ServeArgs parseServeArgs(const std::vector<std::string>& args) {
    ServeArgs parsed;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        auto value = [&]() -> const std::string& {
            if (i + 1 >= args.size()) throw UsageError("serve: " + arg + " needs a value");
            return args[++i];
        };
        if (arg == "--port") {
            parsed.port = parsePort(value());
        } else if (arg == "--sync-every") {
            parsed.syncInterval = parseSyncInterval(value());
        } else if (arg == "--allow-origin") {
            parsed.allowedOrigins.push_back(value());
        } else if (arg == "--allow-progid") {
            parsed.extraClasses.push_back(value());
        } else if (arg == "--verbose") {
            parsed.verbose = true;
        } else if (arg == "--native-messaging") {
            parsed.nativeMessaging = true;
        } else if (parsed.nativeMessaging) {
            // A browser starts a native host with the caller's origin, and some with a manifest
            // path or a parent window; it has already checked them against the host manifest.
        } else {
            throw UsageError("serve: unknown argument '" + arg + "'");
        }
    }
    return parsed;
}

PageSettings pageSettings(const CliOptions& options, const ServeArgs& args) {
    PageSettings settings;
    settings.creatable.insert(settings.creatable.end(), args.extraClasses.begin(), args.extraClasses.end());
    settings.desktop.system = options.systemConfig();
    settings.desktop.launchPrograms = options.launchPrograms;
    if (args.verbose) {
        // Pages log from their own worker threads; one lock keeps their lines whole.
        auto lock = std::make_shared<std::mutex>();
        settings.callLog = [lock](const std::string& line) {
            std::lock_guard guard(*lock);
            std::cerr << line << std::endl;
        };
    }
    return settings;
}

int serveNative(const CliOptions& options, const ServeArgs& args) {
    // Only framed messages may reach stdout: the channel's descriptor is kept apart and
    // anything else written to stdout goes to stderr instead.
    int channel = ::dup(STDOUT_FILENO);
    if (channel < 0 || ::dup2(STDERR_FILENO, STDOUT_FILENO) < 0) {
        std::cerr << "lumora: serve: cannot set up the native-messaging channel\n";
        return host::cli::kExitFailed;
    }
    ::signal(SIGPIPE, SIG_IGN);
    host::cli::prepareHost(options);
    int status = serveNativeMessaging(STDIN_FILENO, channel, pageSettings(options, args));
    desktop::process::endAllHelpers();
    ::close(channel);
    return status == 0 ? host::cli::kExitOk : host::cli::kExitFailed;
}

// The URL path under which the bridge serves the sample quote templates.
constexpr std::string_view kDemoQuotesPath = "/samples/quotes/";

struct DemoDocuments {
    nlohmann::json settings;
    std::map<std::string, std::filesystem::path, std::less<>> files;
};

// The demo page starts on a folder under the temporary folder holding the sample templates and
// their record documents, so its defaults work on a new machine: the Files panel lists the folder,
// the Letters and Quotes panels fill the templates from the records. The quote templates are also
// served under kDemoQuotesPath, so a quote can be made from a template on a web server. Empty
// settings when the folder cannot be written.
DemoDocuments prepareDemoDocuments(const CliOptions& options) {
    std::filesystem::path folder =
        std::filesystem::path(desktop::SystemServices(options.systemConfig()).tempFolder()) / "lumora-demo" / "templates";
    try {
        const host::SampleDocuments samples = host::writeSampleDocuments(folder);
        DemoDocuments demo;
        demo.settings = {{"templateFolder", folder.string() + "/"},
                         {"letterTemplate", samples.letterTemplate.string()},
                         {"seminarTemplate", samples.seminarTemplate.string()},
                         {"letterRecord", host::sampleLetterRecord()},
                         {"seminarRecord", host::sampleSeminarRecord()},
                         {"quoteTemplate", samples.quoteTemplate.string()},
                         {"quoteHtmlTemplate", samples.quoteHtmlTemplate.string()},
                         {"quoteRecord", host::sampleQuoteRecord()},
                         {"campaignLetter", samples.campaignLetter.string()},
                         {"campaignRecipients", host::sampleCampaignRecipients()},
                         {"quoteWebFolder", kDemoQuotesPath}};
        for (const auto& file : {samples.quoteTemplate, samples.quoteHtmlTemplate, samples.quoteLines})
            demo.files.emplace(std::string(kDemoQuotesPath) + file.filename().string(), file);
        return demo;
    } catch (const std::exception& e) {
        std::cerr << "lumora: warning: serve: cannot write the demo's sample templates: " << e.what() << '\n';
        DemoDocuments none;
        none.settings = {{"templateFolder", ""}};
        return none;
    }
}

template <class ErrorCode>
int cannotListen(uint16_t port, const ErrorCode& code) {
    std::cerr << "lumora: serve: cannot listen on 127.0.0.1:" << port << ": " << code.message();
    if (code.value() == EADDRINUSE)
        std::cerr << "\n  Port " << port << " is taken (another lumora serve?): stop that program, or choose "
                  << "another port with --port N";
    std::cerr << '\n';
    return host::cli::kExitFailed;
}

int serveWeb(const CliOptions& options, const ServeArgs& args) {
    // The stop signals are taken by this thread alone: every thread the server starts
    // inherits the blocked mask.
    sigset_t stopSignals;
    sigemptyset(&stopSignals);
    sigaddset(&stopSignals, SIGINT);
    sigaddset(&stopSignals, SIGTERM);
    pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);
    ::signal(SIGPIPE, SIG_IGN);

    host::cli::prepareHost(options);
    ServerOptions serverOptions;
    serverOptions.port = args.port;
    serverOptions.allowedOrigins = args.allowedOrigins;
    serverOptions.page = pageSettings(options, args);
    // Pages never wait for a groupware server: the sync has a thread of its own, told when a
    // page's call returns so that what it changed is sent at once.
    auto backgroundSync = std::make_unique<BackgroundSync>(Registry::instance().dataFolder(), args.syncInterval,
                                                           serverOptions.page.callLog);
    serverOptions.page.afterCall = [sync = backgroundSync.get()] { sync->callReturned(); };
    DemoDocuments demoDocuments = prepareDemoDocuments(options);
    const std::string demoTemplates = demoDocuments.settings["templateFolder"];
    serverOptions.demoSettings = demoDocuments.settings.dump();
    serverOptions.demoFiles = std::move(demoDocuments.files);

    std::unique_ptr<BridgeServer> server;
    try {
        server = std::make_unique<BridgeServer>(std::move(serverOptions));
    } catch (const std::invalid_argument& e) {
        throw UsageError(std::string("serve: --allow-origin ") + e.what());
    } catch (const std::system_error& e) {
        return cannotListen(args.port, e.code());
    } catch (const boost::system::system_error& e) {
        // The socket layer reports in Boost's own error type.
        return cannotListen(args.port, e.code());
    }

    std::string origins;
    for (const std::string& origin : server->allowedOrigins()) origins += (origins.empty() ? "" : " ") + origin;
    std::cout << "Lumora bridge listening on " << server->address() << '\n'
              << "  Demo CRM page:   " << server->address() << '\n'
              << "  Page connection: ws://127.0.0.1:" << server->port() << "/rpc\n"
              << "  Allowed origins: " << origins << '\n'
              << "  Data folder:     " << options.dataFolder.value_or(host::defaultDataFolder()).string() << '\n'
              << "  Demo templates:  " << (demoTemplates.empty() ? "(none)" : demoTemplates) << '\n'
              << "Token: " << server->token() << '\n'
              << "  (clients without an Origin send it as the X-Lumora-Token header)\n"
              << "Press Ctrl+C to stop." << std::endl;

    server->start();
    // Registering lines register now, so they can be called and place calls at once.
    for (const std::string& problem : telephony::startRegistrations(telephony::readLines(Registry::instance().dataFolder())))
        std::cerr << "lumora: serve: " << problem << std::endl;
    int signal = 0;
    sigwait(&stopSignals, &signal);
    std::cout << "Stopping the bridge." << std::endl;
    // Running calls are cancelled and the helpers (the converter, SIP user agents) ended with the
    // bridge, so it is gone within seconds even while a page's call is busy.
    const bool callsEnded = server->shutdown(kCallsStopGrace);
    // The pages' callbacks into the sync are gone with the server's pages.
    if (!backgroundSync->stop(std::chrono::seconds(1))) (void)backgroundSync.release();
    desktop::process::endAllHelpers();
    if (!callsEnded) {
        // A call stuck where it cannot look at its cancel flag must not keep the bridge alive.
        std::cerr << "lumora: serve: a running call did not stop in time; it is ended with the bridge" << std::endl;
        std::_Exit(host::cli::kExitOk);
    }
    server.reset();
    return host::cli::kExitOk;
}

int runServe(const CliOptions& options, const std::vector<std::string>& rawArgs) {
    ServeArgs args = parseServeArgs(rawArgs);
    if (args.nativeMessaging) return serveNative(options, args);
    return serveWeb(options, args);
}

const host::cli::CommandRegistration kServe{
    {"serve",
     "serve [--port N] [--allow-origin ORIGIN]... [--allow-progid PROGID]...\n"
     "      [--sync-every SECONDS] [--verbose] [--native-messaging]",
     "serves the bridge for CRM pages on 127.0.0.1 (the demo page at /), or one page over stdio, and "
     "syncs the PIM's accounts every 300 seconds unless told otherwise; --verbose logs each call on stderr",
     runServe}};

}  // namespace
}  // namespace lumora::bridge

#include "office_converter.hpp"

#include <unistd.h>

#include <atomic>
#include <fstream>
#include <mutex>
#include <optional>

#include "Automation/cancellation.hpp"
#include "Automation/error.hpp"
#include "Platform/Desktop/child_process.hpp"
#include "Platform/Desktop/piped_child.hpp"
#include "Platform/Desktop/new_document.hpp"
#include "Platform/Desktop/sandbox.hpp"
#include "template_cleaner.hpp"
#include "word_errors.hpp"

namespace lumora::word {

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using desktop::process::findProgram;

namespace {

std::atomic<int> g_officeStarts{0};

constexpr auto kStartTimeout = 60s;
constexpr auto kConversionTimeout = 60s;
constexpr const char* kPdfFilter = "writer_pdf_Export";
constexpr const char* kDocxFilter = "MS Word 2007 XML";
// A web page is read as a text document: read as a web document, its export leaves out the
// page's first paragraph.
constexpr const char* kWebPageImport = "HTML (StarWriter)";

// One conversion: the export filter, and the import filter where detection would choose wrongly.
struct Filters {
    const char* exportFilter;
    const char* importFilter = nullptr;
};

// The warm converter: starts LibreOffice listening on a private pipe, connects through UNO,
// says "ready", then converts one request per line ("filter<TAB>input<TAB>output", and a fourth
// field naming the import filter where detection would pick the wrong one), answering "ok" or
// "error <reason>". End of input ends LibreOffice.
constexpr const char* kConverterScript = R"PY(
import subprocess, sys, time
import uno
from com.sun.star.beans import PropertyValue

def prop(name, value):
    p = PropertyValue()
    p.Name = name
    p.Value = value
    return p

soffice, profile, pipe = sys.argv[1:4]
office = subprocess.Popen([soffice, "--headless", "--invisible", "--nologo", "--norestore", "--nodefault",
                           "-env:UserInstallation=" + profile,
                           "--accept=pipe,name=%s;urp;StarOffice.ComponentContext" % pipe],
                          stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
local = uno.getComponentContext()
resolver = local.ServiceManager.createInstanceWithContext("com.sun.star.bridge.UnoUrlResolver", local)
context = None
for attempt in range(1200):
    try:
        context = resolver.resolve("uno:pipe,name=%s;urp;StarOffice.ComponentContext" % pipe)
        break
    except Exception:
        if office.poll() is not None:
            break
        time.sleep(0.05)
if context is None:
    print("error LibreOffice did not start", flush=True)
    sys.exit(1)
desktop = context.ServiceManager.createInstanceWithContext("com.sun.star.frame.Desktop", context)
print("ready", flush=True)
for line in sys.stdin:
    try:
        fields = line.rstrip("\n").split("\t")
        name, source, target = fields[:3]
        load = [prop("Hidden", True), prop("ReadOnly", True)]
        if len(fields) > 3:
            load.append(prop("FilterName", fields[3]))
        document = desktop.loadComponentFromURL(uno.systemPathToFileUrl(source), "_blank", 0, tuple(load))
        if document is None:
            raise RuntimeError("the file could not be loaded")
        try:
            document.storeToURL(uno.systemPathToFileUrl(target), (prop("FilterName", name),))
        finally:
            document.close(True)
        print("ok", flush=True)
    except Exception as error:
        print("error " + str(error).replace("\n", " "), flush=True)
try:
    desktop.terminate()
except Exception:
    pass
try:
    office.wait(timeout=10)
except Exception:
    office.kill()
)PY";

// The system's Python, which the UNO bridge is installed for (a user's own Python on PATH
// usually lacks it).
std::optional<fs::path> systemPython() {
    for (const char* candidate : {"/usr/bin/python3", "/bin/python3"})
        if (::access(candidate, X_OK) == 0) return fs::path(candidate);
    return std::nullopt;
}

// What LibreOffice's own installation needs beyond the system's programs and libraries: its
// program folder (wherever it is installed) and its settings.
desktop::sandbox::View officeView(const fs::path& office, const fs::path& work) {
    std::error_code error;
    const fs::path program = fs::canonical(office, error).parent_path();
    desktop::sandbox::View view{{"/etc/libreoffice"}, work};
    if (!error) view.readOnly.push_back(program.parent_path());
    return view;
}

// The command that runs argv confined to the work folder; where no sandbox can be made it runs
// as it is, and the person running the host is told once.
std::vector<std::string> confined(std::vector<std::string> argv, const desktop::sandbox::View& view) {
    if (auto command = desktop::sandbox::confinedCommand(argv, view)) return std::move(*command);
    desktop::sandbox::warnUnconfined("LibreOffice (PDF export, legacy documents)");
    return argv;
}

// The office program to run: found on PATH, named by its real location so that the sandbox,
// which sees its installation but not the folder a link to it sits in, finds it too.
std::optional<fs::path> officeProgram() {
    const auto office = findProgram("soffice");
    if (!office) return std::nullopt;
    std::error_code error;
    const fs::path real = fs::canonical(*office, error);
    return error ? *office : real;
}

class Converter {
public:
    static Converter& instance() {
        static Converter converter;
        return converter;
    }

    // Converts input to output with the filter; false when the warm converter is unavailable.
    bool convert(const Filters& filters, const fs::path& input, const fs::path& output, std::string& reason) {
        std::lock_guard lock(m_mutex);
        if (!ensureStarted()) return false;
        std::string request = std::string(filters.exportFilter) + "\t" + input.string() + "\t" + output.string();
        if (filters.importFilter) request += std::string("\t") + filters.importFilter;
        if (!m_child->writeLine(request)) {
            m_child.reset();
            return false;
        }
        const std::optional<std::string> answer = m_child->readLine(kConversionTimeout);
        if (!answer) {
            // Overran, died, or nobody waits for the document any more: ended with what it
            // started; the next conversion starts afresh.
            m_child.reset();
            checkCancelled();
            reason = "the conversion did not finish in time";
            return true;
        }
        if (*answer != "ok") reason = answer->substr(std::min<size_t>(answer->size(), 6));
        return true;
    }

    // A folder of this process's own (made private and under a fresh name, so nobody can lay a
    // trap for it in the shared temporary folder): the profile, the script, the conversions. It
    // is all LibreOffice may write, and besides its installation all it may read.
    const fs::path& workFolder() {
        std::lock_guard lock(m_workMutex);
        if (m_work.empty()) {
            std::string pattern = (fs::temp_directory_path() / "lumora-office-XXXXXX").string();
            if (!::mkdtemp(pattern.data())) raise(WordError::ConversionFailed, "a private work folder could not be made");
            m_work = pattern;
            fs::create_directories(m_work / "profile");
        }
        return m_work;
    }

    ~Converter() {
        if (m_child) m_child->stop(5s);
        std::error_code ignored;
        if (!m_work.empty()) fs::remove_all(m_work, ignored);
    }

private:
    bool ensureStarted() {
        if (m_child) return true;
        if (m_unavailable) return false;
        const auto office = officeProgram();
        const auto python = systemPython();
        if (!office || !python) {
            m_unavailable = true;
            return false;
        }
        const fs::path script = workFolder() / "convert.py";
        ++g_officeStarts;
        std::ofstream(script) << kConverterScript;
        // The UNO pipe is made in /tmp, which the sandbox gives the script and LibreOffice
        // together as their own.
        auto child = desktop::process::PipedChild::start(
            confined({python->string(), script.string(), office->string(), "file://" + (workFolder() / "profile").string(),
                      "lumora-office-" + std::to_string(::getpid())},
                     officeView(*office, workFolder())));
        if (!child) {
            m_unavailable = true;
            return false;
        }
        const std::optional<std::string> ready = child->readLine(kStartTimeout);
        // A start cut short by a cancelled call says nothing about the machine: the next
        // conversion tries again.
        if (!ready) checkCancelled();
        if (ready != "ready") {
            m_unavailable = true;  // no UNO bridge: each conversion runs LibreOffice once
            return false;
        }
        m_child.emplace(std::move(*child));
        return true;
    }

    std::mutex m_mutex;
    std::optional<desktop::process::PipedChild> m_child;
    bool m_unavailable = false;
    std::mutex m_workMutex;
    fs::path m_work;
};

struct ScratchFolder {
    fs::path path;
    ~ScratchFolder() {
        std::error_code ignored;
        fs::remove_all(path, ignored);
    }
};

// A folder for one conversion inside the work folder. Pages convert from threads of their own,
// so the numbering is atomic: two conversions never share a folder.
ScratchFolder scratchFolder() {
    static std::atomic<int> counter{0};
    ScratchFolder folder{Converter::instance().workFolder() / ("job" + std::to_string(++counter))};
    fs::create_directories(folder.path);
    return folder;
}

// Runs LibreOffice once on a file inside the work folder; it writes into the file's folder. With
// filters, they are the ones named; otherwise LibreOffice chooses by the file and the format.
fs::path runOnce(const fs::path& input, const std::string& format, const Filters* filters = nullptr) {
    const auto office = officeProgram();
    if (!office) raise(WordError::PdfConverterMissing);
    const fs::path work = Converter::instance().workFolder();
    const fs::path profile = work / "once-profile";
    ++g_officeStarts;
    std::vector<std::string> command{office->string(), "--headless", "--norestore",
                                     "-env:UserInstallation=file://" + profile.string()};
    if (filters && filters->importFilter) command.push_back(std::string("--infilter=") + filters->importFilter);
    command.insert(command.end(), {"--convert-to", filters ? format + ":" + filters->exportFilter : format, "--outdir",
                                   input.parent_path().string(), input.string()});
    desktop::process::captureOutput(
        confined(std::move(command), officeView(*office, work)),
        std::chrono::duration_cast<std::chrono::milliseconds>(kConversionTimeout));
    return input.parent_path() / (input.stem().string() + "." + format);
}

// Converts with the warm converter, or once where it cannot run; the result is in output, in
// the input's folder.
void convert(const Filters& filters, const char* extension, const fs::path& input, const fs::path& output) {
    std::string reason;
    std::error_code error;
    fs::remove(output, error);
    if (!Converter::instance().convert(filters, input, output, reason)) {
        const fs::path made = runOnce(input, extension, filters.importFilter ? &filters : nullptr);
        checkCancelled();
        if (made != output) fs::rename(made, output, error);
    }
    if (!fs::is_regular_file(output, error) || fs::file_size(output, error) == 0)
        raise(WordError::ConversionFailed, input.filename().string() + (reason.empty() ? "" : ": " + reason));
}

}  // namespace

bool officeInstalled() { return findProgram("soffice").has_value(); }

int officeStarts() { return g_officeStarts; }

fs::path convertOnce(const fs::path& input, const fs::path& outputFolder, const std::string& format) {
    if (!officeInstalled()) raise(WordError::PdfConverterMissing);
    // LibreOffice sees only its work folder: the input goes in, the result comes out.
    const ScratchFolder job = scratchFolder();
    fs::copy_file(input, job.path / input.filename());
    const fs::path made = runOnce(job.path / input.filename(), format);
    const fs::path result = outputFolder / made.filename();
    std::error_code error;
    if (fs::exists(made, error)) fs::copy_file(made, result, fs::copy_options::overwrite_existing);
    return result;
}

void convertToPdf(DocxDocument& document, const fs::path& pdf) {
    if (!officeInstalled()) raise(WordError::PdfConverterMissing);
    const ScratchFolder job = scratchFolder();
    // The copy LibreOffice reads keeps none of the template's links to the outside; the
    // document itself, and what is saved of it as .docx, keeps them all.
    const fs::path source = job.path / "document.docx";
    Package converted = document.packageAsSaved();
    removeOutsideReferences(converted);
    converted.writeAtomically(source);
    const fs::path made = job.path / "document.pdf";
    convert({kPdfFilter}, "pdf", source, made);
    desktop::replaceFileWith(pdf, [&](const fs::path& scratch) { fs::copy_file(made, scratch); });
}

std::string convertToDocx(const fs::path& legacy) {
    if (!officeInstalled()) raise(WordError::LegacyNeedsOffice, legacy.filename().string());
    const ScratchFolder job = scratchFolder();
    // A private copy under a plain name: the user's file is never touched, locked or renamed.
    const fs::path source = job.path / ("legacy" + legacy.extension().string());
    fs::copy_file(legacy, source);
    const fs::path made = job.path / "legacy.docx";
    convert({kDocxFilter}, "docx", source, made);
    std::ifstream in(made, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

std::string convertWebPageToPdf(const fs::path& page) {
    if (!officeInstalled()) raise(WordError::PdfConverterMissing);
    const ScratchFolder job = scratchFolder();
    // The page alone, under a plain name: nothing beside it in its folder reaches LibreOffice.
    const fs::path source = job.path / "page.htm";
    fs::copy_file(page, source);
    const fs::path made = job.path / "page.pdf";
    convert({kPdfFilter, kWebPageImport}, "pdf", source, made);
    std::ifstream in(made, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

}  // namespace lumora::word

#include "office_converter.hpp"

#include <unistd.h>

#include <atomic>
#include <cstdlib>
#include <fstream>
#include <mutex>
#include <optional>
#include <sstream>

#include "Automation/error.hpp"
#include "Platform/Desktop/child_process.hpp"
#include "Platform/Desktop/piped_child.hpp"
#include "Platform/Desktop/new_document.hpp"
#include "word_errors.hpp"

namespace lumora::word {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

namespace {

std::atomic<int> g_officeStarts{0};

constexpr auto kStartTimeout = 60s;
constexpr auto kConversionTimeout = 60s;
constexpr const char* kPdfFilter = "writer_pdf_Export";
constexpr const char* kDocxFilter = "MS Word 2007 XML";

// The warm converter: starts LibreOffice listening on a private pipe, connects through UNO,
// says "ready", then converts one request per line ("filter<TAB>input<TAB>output"), answering
// "ok" or "error <reason>". End of input ends LibreOffice.
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
        name, source, target = line.rstrip("\n").split("\t")
        document = desktop.loadComponentFromURL(uno.systemPathToFileUrl(source), "_blank", 0,
                                                (prop("Hidden", True), prop("ReadOnly", True)))
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

std::optional<fs::path> findProgram(const char* name) {
    const char* path = std::getenv("PATH");
    std::stringstream folders(path ? path : "/usr/bin:/bin");
    std::string folder;
    while (std::getline(folders, folder, ':'))
        if (!folder.empty() && ::access((fs::path(folder) / name).c_str(), X_OK) == 0) return fs::path(folder) / name;
    return std::nullopt;
}

// The system's Python, which the UNO bridge is installed for (a user's own Python on PATH
// usually lacks it).
std::optional<fs::path> systemPython() {
    for (const char* candidate : {"/usr/bin/python3", "/bin/python3"})
        if (::access(candidate, X_OK) == 0) return fs::path(candidate);
    return std::nullopt;
}

class Converter {
public:
    static Converter& instance() {
        static Converter converter;
        return converter;
    }

    // Converts input to output with the filter; false when the warm converter is unavailable.
    bool convert(const char* filter, const fs::path& input, const fs::path& output, std::string& reason) {
        std::lock_guard lock(m_mutex);
        if (!ensureStarted()) return false;
        if (!m_child->writeLine(std::string(filter) + "\t" + input.string() + "\t" + output.string())) {
            m_child.reset();
            return false;
        }
        const std::optional<std::string> answer = m_child->readLine(kConversionTimeout);
        if (!answer) {
            // Overran or died: ended with what it started; the next conversion starts afresh.
            m_child.reset();
            reason = "the conversion did not finish in time";
            return true;
        }
        if (*answer != "ok") reason = answer->substr(std::min<size_t>(answer->size(), 6));
        return true;
    }

    // A folder of this process's own (made private and under a fresh name, so nobody can lay a
    // trap for it in the shared temporary folder): the profile, the script, the conversions.
    const fs::path& workFolder() {
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
        const auto office = findProgram("soffice");
        const auto python = systemPython();
        if (!office || !python) {
            m_unavailable = true;
            return false;
        }
        const fs::path script = workFolder() / "convert.py";
        ++g_officeStarts;
        std::ofstream(script) << kConverterScript;
        auto child = desktop::process::PipedChild::start(
            {python->string(), script.string(), office->string(), "file://" + (workFolder() / "profile").string(),
             "lumora-office-" + std::to_string(::getpid())});
        if (!child) {
            m_unavailable = true;
            return false;
        }
        const std::optional<std::string> ready = child->readLine(kStartTimeout);
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
    fs::path m_work;
};

// Converts with the warm converter, or once where it cannot run; the result is in output.
void convert(const char* filter, const char* extension, const fs::path& input, const fs::path& output) {
    std::string reason;
    std::error_code error;
    fs::remove(output, error);
    if (!Converter::instance().convert(filter, input, output, reason)) {
        const fs::path made = convertOnce(input, output.parent_path(), extension);
        if (made != output) fs::rename(made, output, error);
    }
    if (!fs::is_regular_file(output, error) || fs::file_size(output, error) == 0)
        raise(WordError::ConversionFailed, input.filename().string() + (reason.empty() ? "" : ": " + reason));
}

struct ScratchFolder {
    fs::path path;
    ~ScratchFolder() {
        std::error_code ignored;
        fs::remove_all(path, ignored);
    }
};

ScratchFolder scratchFolder() {
    static int counter = 0;
    ScratchFolder folder{Converter::instance().workFolder() / ("job" + std::to_string(++counter))};
    fs::create_directories(folder.path);
    return folder;
}

}  // namespace

bool officeInstalled() { return findProgram("soffice").has_value(); }

int officeStarts() { return g_officeStarts; }

fs::path convertOnce(const fs::path& input, const fs::path& outputFolder, const std::string& format) {
    const auto office = findProgram("soffice");
    if (!office) raise(WordError::PdfConverterMissing);
    const fs::path profile = Converter::instance().workFolder() / "once-profile";
    ++g_officeStarts;
    desktop::process::captureOutput({office->string(), "--headless", "--norestore", "-env:UserInstallation=file://" + profile.string(),
                                     "--convert-to", format, "--outdir", outputFolder.string(), input.string()},
                                    std::chrono::duration_cast<std::chrono::milliseconds>(kConversionTimeout));
    return outputFolder / (input.stem().string() + "." + format);
}

void convertToPdf(DocxDocument& document, const fs::path& pdf) {
    if (!officeInstalled()) raise(WordError::PdfConverterMissing);
    const ScratchFolder job = scratchFolder();
    const fs::path source = job.path / "document.docx";
    document.save(source);
    const fs::path made = job.path / "document.pdf";
    convert(kPdfFilter, "pdf", source, made);
    desktop::replaceFileWith(pdf, [&](const fs::path& scratch) { fs::copy_file(made, scratch); });
}

std::string convertToDocx(const fs::path& legacy) {
    if (!officeInstalled()) raise(WordError::LegacyNeedsOffice, legacy.filename().string());
    const ScratchFolder job = scratchFolder();
    // A private copy under a plain name: the user's file is never touched, locked or renamed.
    const fs::path source = job.path / ("legacy" + legacy.extension().string());
    fs::copy_file(legacy, source);
    const fs::path made = job.path / "legacy.docx";
    convert(kDocxFilter, "docx", source, made);
    std::ifstream in(made, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

}  // namespace lumora::word

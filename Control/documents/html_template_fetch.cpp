// FetchHtmlTemplate: the HTML table template copied from the Word template's folder, or fetched
// from the web server the Word template came from, into the temporary folder.

#include <string>

#include "Automation/class_ids.hpp"
#include "Automation/traps.hpp"
#include "Automation/vb/dates.hpp"
#include "Automation/vb/strings.hpp"
#include "Control/frame/control_errors.hpp"
#include "Control/frame/outside_apps.hpp"
#include "Control/frame/private_operations.hpp"
#include "Platform/Desktop/desktop.hpp"
#include "html_quote_template.hpp"

namespace lumora::control {

namespace {

constexpr int32_t kFirstSuccessStatus = 200;
constexpr int32_t kLastSuccessStatus = 299;

bool isWebPath(std::string_view path) {
    const std::string lowered = vb::lCase(vb::left(path, 4));
    return lowered == "http" || vb::left(lowered, 3) == "ftp";
}

// The copy's name: the current minute and second, without leading zeros, before the file name
// ("59lines.htm" at 14:05:09).
std::string temporaryCopyPath(std::string_view htmlFileName) {
    const Date now = desktop::current().now();
    return GetTempFolderPath() + std::to_string(vb::datePart("n", now)) + std::to_string(vb::datePart("s", now)) +
           std::string(htmlFileName);
}

// The template as the web server sends it. A failure status is no template: its error page
// would only be refused later as a template without rows.
std::string fetchedTemplate(const std::string& address) {
    const Object request = createApplication(progid::HttpRequestLegacy);
    request.call("open", "GET", address, false);
    request.call("setRequestHeader", "Content-type:", "text/xml");
    request.call("setRequestHeader", "Translate:", "f");
    request.call("send");
    const int32_t status = request.get("status").toI4();
    if (status < kFirstSuccessStatus || status > kLastSuccessStatus)
        raise(ControlError::TemplateNotServed,
              std::to_string(status) + " " + request.get("statusText").toString());
    return request.get("responseText").toString();
}

void writeCopy(const Object& files, const std::string& path, const std::string& text) {
    const Object stream = files.getObject("OpenTextFile", path, kForWriting, true, kAsciiFormat);
    stream.call("Write", text);
    stream.call("Close");
}

}  // namespace

std::string FetchHtmlTemplate(std::string_view templatePath, std::string_view htmlFileName) {
    // The copy goes into the temporary folder under the template's own name, so a name that
    // leads into another folder would place it elsewhere; such a name finds no copy there either.
    if (htmlFileName.find_first_of("/\\") != std::string_view::npos)
        raise(ControlError::TemplateNameNotPlain, htmlFileName);
    const size_t lastSeparator = templatePath.find_last_of("/\\");
    std::string source = lastSeparator == std::string_view::npos ? std::string()
                                                                 : std::string(templatePath.substr(0, lastSeparator + 1));
    source += htmlFileName;
    const std::string copy = temporaryCopyPath(htmlFileName);

    const Object files = createApplication(progid::FileSystem);
    const auto error = tryLocal([&] {
        if (isWebPath(source))
            writeCopy(files, copy, fetchedTemplate(vb::replace(source, "\\", "/")));
        else
            files.call("CopyFile", source, copy, true);
    });
    if (error) {
        // Whole or nothing: a copy cut short is not left in the temporary folder.
        DeleteFileQuietly(copy);
        raise(*error);
    }
    return copy;
}

}  // namespace lumora::control

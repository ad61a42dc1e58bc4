#include "merge_progress_window.hpp"

#include <cmath>
#include <optional>

#include "Automation/class_ids.hpp"
#include "Automation/deliverables.hpp"
#include "Automation/registry.hpp"
#include "Automation/traps.hpp"
#include "Automation/vb/strings.hpp"
#include "MailControl/mail_messages.hpp"
#include "Platform/Word/script_constants.hpp"
#include "mail_errors.hpp"
#include "merge_data_file.hpp"

namespace lumora::mail {

namespace {

constexpr std::string_view kWindowName = "frmMergeProgress";
constexpr std::string_view kHeading = "lblProgress1";
constexpr std::string_view kProgress = "lblProgress2";
constexpr std::string_view kErrorLabel = "lblMergeError";
constexpr std::string_view kCancel = "cmdCancel";
constexpr std::string_view kDetails = "cmdWholeError";
constexpr std::string_view kHide = "cmdHide";
constexpr std::string_view kDataFileName = "CRMWordMergeData.csv";

// Geometry in twips: the window before a merge, and what "Details..." adds for the whole error.
constexpr int32_t kWindowHeight = 2200;
constexpr int32_t kErrorLabelHeight = 255;
constexpr int32_t kDetailsGrowth = 1500;
constexpr int32_t kTimerIntervalMs = 1000;
// The Windows temporary path is read into a buffer of this many characters.
constexpr size_t kMaxTempPath = 255;

// part / whole as a whole-numbered percentage, halves rounded to even.
std::string percentOf(double part, double whole) {
    return std::to_string(static_cast<int64_t>(std::nearbyint(part / whole * 100.0)));
}

std::string withPercent(std::string_view step, const std::string& percent) {
    return std::string(step) + " (" + percent + "%)";
}

}  // namespace

MergeProgressWindow::MergeProgressWindow() {
    m_look.name = kWindowName;
    m_look.caption = msg::MergeCaption;
    m_look.labels = {{std::string(kHeading), std::string(msg::ProgressHeading)},
                     {std::string(kProgress), ""},
                     {std::string(kErrorLabel), ""}};
    m_look.buttons = {{std::string(kCancel), std::string(msg::CancelCaption)},
                      {std::string(kDetails), std::string(msg::DetailsCaption)},
                      {std::string(kHide), std::string(msg::OkCaption)}};
    // Form_Load prepares the controls and arms the timer; the control then hides the window and
    // stops the timer until a campaign shows it.
    InitForm();
    setTimer(0);
}

void MergeProgressWindow::InitForm() {
    setHeight(kWindowHeight);
    setErrorLabelLook(kErrorLabelHeight, false);
    setLabel(std::string(kErrorLabel), "");
    setLabel(std::string(kProgress), "");
    setButtonVisible(std::string(kDetails), false);
    setButtonVisible(std::string(kHide), false);
    setButton(std::string(kCancel), std::string(msg::CancelCaption), true, true);
    if (m_okToGo) setTimer(kTimerIntervalMs);
    doEvents();
}

void MergeProgressWindow::showModal() {
    setTimer(kTimerIntervalMs);
    desktop::Desktop& screen = desktop::current();
    m_shownAs = screen.openWindow(m_look);
    const desktop::WindowId shown = m_shownAs;
    while (m_shownAs == shown) {
        const std::vector<desktop::WindowEvent> events = screen.waitEvents(shown);
        handle(events);
    }
    screen.closeWindow(shown);
}

void MergeProgressWindow::handle(const std::vector<desktop::WindowEvent>& events) {
    for (const desktop::WindowEvent& event : events) {
        if (m_shownAs == 0 || event.window != m_shownAs) continue;
        if (event.kind == desktop::WindowEventKind::Timer) {
            Timer1_Timer();
        } else if (event.kind == desktop::WindowEventKind::Closed) {
            m_shownAs = 0;
        } else if (vb::uCase(event.control) == vb::uCase(kCancel)) {
            cmdCancel_Click();
        } else if (vb::uCase(event.control) == vb::uCase(kDetails)) {
            cmdWholeError_Click();
        } else if (vb::uCase(event.control) == vb::uCase(kHide)) {
            cmdHide_Click();
        }
    }
}

void MergeProgressWindow::Timer1_Timer() {
    setTimer(0);
    if (m_okToGo) RunMerge();
}

void MergeProgressWindow::cmdCancel_Click() {
    m_cancel = true;
    setButton(std::string(kCancel), std::string(msg::CancellingCaption), false, true);
    doEvents();
}

void MergeProgressWindow::cmdHide_Click() { m_shownAs = 0; }

void MergeProgressWindow::cmdWholeError_Click() {
    // OK stands below the error label, so it moves down with the label's growth.
    setHeight(m_look.heightTwips + kDetailsGrowth);
    for (const auto& label : m_look.labels)
        if (label.name == kErrorLabel) setErrorLabelLook(label.heightTwips + kDetailsGrowth, true);
    setButtonVisible(std::string(kDetails), false);
    setButtonVisible(std::string(kHide), true);
}

void MergeProgressWindow::RunMerge() {
    auto failure = tryLocal([&] {
        m_cancel = false;
        SetTempMergeFile();
        const bool noXml = m_xml.empty();
        if (noXml || m_templatePath.empty()) {
            desktop::current().messageBox(
                {std::string(noXml ? msg::XmlNotSet : msg::TemplateNotSet),
                 std::string(deliverables::kMailControl.typeLibrary), desktop::mb::OkOnly});
            // Nothing runs that Cancel could stop: OK alone is left, so the person can close the window.
            setButtonVisible(std::string(kHide), true);
            setButtonVisible(std::string(kCancel), false);
            return;
        }
        showProgress(std::string(step::LoadingXml));
        Object recipients = Registry::instance().createObject(progid::XmlDocument);
        recipients.call("loadXML", m_xml);
        showProgress(std::string(step::StartingWord));
        m_word = Registry::instance().createObject(progid::Word);
        showProgress(std::string(step::OpeningTemplate));
        m_mainDocument = m_word.getObject("Documents").call("Add", Named{"Template", m_templatePath}).toObject();

        if (cancelRequested()) return;
        showProgress(std::string(step::BuildingDataFile));
        showProgress(std::string(step::CreatingTagList));
        const std::vector<MergeTag> tags = BuildTagList(recipients);
        if (cancelRequested()) return;
        showProgress(std::string(step::CreatingFile));
        std::optional<MergeDataFile> dataFile;
        dataFile.emplace(m_dataFile, BuildHeaderLine(tags));
        if (cancelRequested()) return;
        showProgress(std::string(step::FillingData));
        const int32_t rows = FillMergeData(recipients, tags, *dataFile);
        if (cancelRequested()) return;
        dataFile->commit();

        showProgress(std::string(step::AdjustingTags));
        if (!adjustTemplateTags(tags)) return;
        showProgress(std::string(step::AttachingDataSource));
        Object mailMerge = m_mainDocument.getObject("MailMerge");
        mailMerge.call("OpenDataSource", Named{"Name", m_dataFile.string()});
        mailMerge.put("SuppressBlankLines", Variant(true));
        if (cancelRequested()) return;
        setButtonEnabled(std::string(kCancel), false);
        showProgress(std::string(step::ExecutingMerge));
        mailMerge.call("Execute");
        Object documents = m_word.getObject("Documents");
        documents.getObject("Item", documents.get("Count")).call("Close", Named{"SaveChanges", Variant(false)});
        m_word.put("Visible", Variant(true));
        showProgress(std::string(msg::MergeCompleted) + std::to_string(rows) + std::string(msg::MergeCompletedRows));
        setButtonVisible(std::string(kHide), true);
        setButtonVisible(std::string(kCancel), false);
    });
    if (failure) showFailure(*failure);
}

bool MergeProgressWindow::cancelRequested() {
    if (!m_cancel) return false;
    CancelMerge();
    return true;
}

void MergeProgressWindow::CancelMerge() {
    setButtonVisible(std::string(kHide), true);
    setButtonVisible(std::string(kCancel), false);
    showProgress(std::string(msg::MergeCancelled));
    quitWordQuietly();
}

void MergeProgressWindow::quitWordQuietly() {
    ResumeNext ignored;
    ignored([&] {
        if (m_word) m_word.call("Quit", Named{"SaveChanges", Variant(false)});
    });
    m_mainDocument.release();
    m_word.release();
}

void MergeProgressWindow::SetTempMergeFile() {
    auto failure = tryLocal([&] {
        m_tempFolder = vb::left(desktop::current().tempFolder(), kMaxTempPath);
        m_dataFile = std::filesystem::path(m_tempFolder + std::string(kDataFileName));
    });
    if (failure) raise(MailError::MergeFilePath);
}

int32_t MergeProgressWindow::FillMergeData(const Object& recipients, const std::vector<MergeTag>& tags,
                                           MergeDataFile& dataFile) {
    const Object campaign = recipients.getObject("selectSingleNode", "MAIL_CAMPAIGN");
    // The field list is one of the children, so the records are one fewer.
    const int32_t records = campaign.getObject("childNodes").get("length").toI4() - 1;
    int32_t rows = 0;
    bool stopped = false;
    forEachElement(campaign, [&](const Object& record) {
        if (stopped || record.get("nodeName").toString() == "fieldlist") return;
        dataFile.writeLine(recordLine(tags, record));
        ++rows;
        if (records > 0) showProgress(withPercent(step::FillingData, percentOf(rows, records)));
        stopped = m_cancel;
    });
    return rows;
}

bool MergeProgressWindow::adjustTemplateTags(const std::vector<MergeTag>& tags) {
    if (tags.empty()) return true;
    const size_t last = tags.size() - 1;
    for (size_t i = 0; i <= last; ++i) {
        ReplaceTagInStories(tags[i].fieldname, tags[i].mergeheader);
        ReplaceTagInStories(tags[i].templatetag, tags[i].mergeheader);
        ReplaceTagInStories(tags[i].templatetag2, tags[i].mergeheader);
        if (last == 0) continue;
        showProgress(withPercent(step::AdjustingTags, percentOf(static_cast<double>(i), static_cast<double>(last))));
        if (cancelRequested()) return false;
    }
    return true;
}

void MergeProgressWindow::ReplaceTagInStories(const std::string& tag, const std::string& mergeheader) {
    const std::string searchText = "<" + vb::uCase(tag) + ">";
    for (const Variant& story : m_mainDocument.getObject("StoryRanges").elements()) {
        for (Object range = story.toObject(); range; range = range.getObject("NextStoryRange")) {
            while (true) {
                Object find = range.getObject("Find");
                find.put("MatchCase", Variant(false));
                find.put("Forward", Variant(true));
                find.put("Wrap", Variant(word::kWrapStop));
                find.put("Format", Variant(false));
                find.put("MatchWholeWord", Variant(false));
                find.put("MatchWildcards", Variant(false));
                find.put("MatchSoundsLike", Variant(false));
                find.put("MatchAllWordForms", Variant(false));
                find.put("Text", Variant(searchText));
                find.call("Execute");
                if (!find.get("Found").toBool()) break;
                range.getObject("Fields").call("Add", Named{"Range", Variant(range)},
                                               Named{"Type", Variant(word::kFieldMergeField)},
                                               Named{"Text", Variant(mergeheader)});
            }
        }
    }
}

void MergeProgressWindow::showFailure(const Error& error) {
    setLabel(std::string(kErrorLabel), std::string(msg::MergeRunFailed) + error.description());
    setButtonVisible(std::string(kDetails), true);
    setButtonVisible(std::string(kHide), true);
    setButtonVisible(std::string(kCancel), false);
    doEvents();
    quitWordQuietly();
}

void MergeProgressWindow::showProgress(std::string caption) {
    setLabel(std::string(kProgress), std::move(caption));
    doEvents();
}

void MergeProgressWindow::doEvents() {
    if (m_shownAs == 0) return;
    handle(desktop::current().pumpEvents());
}

void MergeProgressWindow::apply(const desktop::WindowUpdate& update) {
    for (const auto& label : update.labels)
        for (auto& mine : m_look.labels)
            if (mine.name == label.name) mine = label;
    for (const auto& button : update.buttons)
        for (auto& mine : m_look.buttons)
            if (mine.name == button.name) mine = button;
    if (update.timerIntervalMs) m_look.timerIntervalMs = *update.timerIntervalMs;
    if (update.heightTwips) m_look.heightTwips = *update.heightTwips;
    if (m_shownAs != 0) desktop::current().updateWindow(m_shownAs, update);
}

void MergeProgressWindow::setLabel(const std::string& name, std::string caption) {
    for (const auto& label : m_look.labels) {
        if (label.name != name) continue;
        desktop::WindowUpdate update;
        update.labels.push_back(label);
        update.labels.back().caption = std::move(caption);
        apply(update);
        return;
    }
}

void MergeProgressWindow::setErrorLabelLook(int32_t heightTwips, bool bordered) {
    for (const auto& label : m_look.labels) {
        if (label.name != kErrorLabel) continue;
        desktop::WindowUpdate update;
        update.labels.push_back(label);
        update.labels.back().heightTwips = heightTwips;
        update.labels.back().bordered = bordered;
        apply(update);
        return;
    }
}

void MergeProgressWindow::setButton(const std::string& name, const std::string& caption, bool enabled, bool visible) {
    desktop::WindowUpdate update;
    update.buttons.push_back({name, caption, enabled, visible});
    apply(update);
}

void MergeProgressWindow::setButtonVisible(const std::string& name, bool visible) {
    for (const auto& button : m_look.buttons)
        if (button.name == name) setButton(name, button.caption, button.enabled, visible);
}

void MergeProgressWindow::setButtonEnabled(const std::string& name, bool enabled) {
    for (const auto& button : m_look.buttons)
        if (button.name == name) setButton(name, button.caption, enabled, button.visible);
}

void MergeProgressWindow::setTimer(int32_t intervalMs) {
    desktop::WindowUpdate update;
    update.timerIntervalMs = intervalMs;
    apply(update);
}

void MergeProgressWindow::setHeight(int32_t heightTwips) {
    desktop::WindowUpdate update;
    update.heightTwips = heightTwips;
    apply(update);
}

}  // namespace lumora::mail

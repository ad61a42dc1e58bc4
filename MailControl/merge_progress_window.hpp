#pragma once
// frmMergeProgress: the modal window in which a letter campaign runs its mail merge. It writes
// the recipients to the merge data file, turns the template's tags into merge fields, attaches
// the data file, executes the merge and leaves the letters open in a visible word processor,
// showing each step, letting the person cancel between steps and showing any failure.

#include <filesystem>
#include <string>
#include <vector>

#include "Automation/error.hpp"
#include "Automation/object.hpp"
#include "Platform/Desktop/desktop.hpp"
#include "merge_data_file.hpp"
#include "merge_tags.hpp"

namespace lumora::mail {

class MergeProgressWindow {
public:
    // Loads the window hidden with its timer off, as the control does when it is created.
    MergeProgressWindow();

    void SetXML(std::string xml) { m_xml = std::move(xml); }
    void SetTemplatePath(std::string path) { m_templatePath = std::move(path); }
    void SetTimerOKToGo() { m_okToGo = true; }
    // Arms the timer and shows the window modally: returns when the person hides it.
    void showModal();

    // Resets the window's controls to their look before a merge.
    void InitForm();

    // The window as it looks now (also while hidden): captions, button states, heights.
    const desktop::WindowSpec& look() const { return m_look; }

private:
    void Timer1_Timer();
    void cmdCancel_Click();
    void cmdHide_Click();
    void cmdWholeError_Click();

    void RunMerge();
    bool cancelRequested();  // a checkpoint: cancels the merge when the person asked for it
    void CancelMerge();
    void SetTempMergeFile();
    int32_t FillMergeData(const Object& recipients, const std::vector<MergeTag>& tags, MergeDataFile& dataFile);
    // False when the person cancelled between two tags.
    bool adjustTemplateTags(const std::vector<MergeTag>& tags);
    void ReplaceTagInStories(const std::string& tag, const std::string& mergeheader);
    void showFailure(const Error& error);
    void quitWordQuietly();

    // Window state changes, applied to the look and, while shown, to the window on the desktop.
    void setLabel(const std::string& name, std::string caption);
    void setErrorLabelLook(int32_t heightTwips, bool bordered);
    void setButton(const std::string& name, const std::string& caption, bool enabled, bool visible);
    void setButtonVisible(const std::string& name, bool visible);
    void setButtonEnabled(const std::string& name, bool enabled);
    void setTimer(int32_t intervalMs);
    void setHeight(int32_t heightTwips);
    void showProgress(std::string caption);
    // DoEvents: lets the window's pending clicks and timer through.
    void doEvents();
    void handle(const std::vector<desktop::WindowEvent>& events);
    void apply(const desktop::WindowUpdate& update);

    desktop::WindowSpec m_look;
    desktop::WindowId m_shownAs = 0;  // 0 while hidden

    std::string m_xml;
    std::string m_templatePath;
    bool m_okToGo = false;
    bool m_cancel = false;
    Object m_word;
    Object m_mainDocument;
    std::string m_tempFolder;
    std::filesystem::path m_dataFile;
};

}  // namespace lumora::mail

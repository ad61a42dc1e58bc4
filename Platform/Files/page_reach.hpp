#pragma once
// What a page may reach on this machine. A page names files by drive ("C:\Quotes\q.docx"),
// by share, or by a local path the Desktop gave it; it reaches the mapped folders of the drive
// table and the few folders granted here (the temporary folder, the user's Lumora documents
// folder), and nothing else: any other path is "Path not found", exactly as an unmapped drive
// is. The grant belongs to the thread that serves the page; a thread without one (the command
// line, run by the local user) reaches every path.

#include <filesystem>
#include <vector>

namespace lumora::files {

class PageReach {
public:
    // Confines the calling thread's page paths until destroyed.
    explicit PageReach(std::vector<std::filesystem::path> grantedFolders);
    ~PageReach();
    PageReach(const PageReach&) = delete;
    PageReach& operator=(const PageReach&) = delete;

    // True when the calling thread may reach `local`: it is not confined, or `local` lies in a
    // mapped or granted folder once links are followed (a link never leads a page out).
    static bool allows(const std::filesystem::path& local);
    // True on a thread that serves a page: what only the local user may do is refused there.
    static bool confined();

private:
    std::vector<std::filesystem::path> m_granted;
    PageReach* m_previous;
};

}  // namespace lumora::files

#include "password_input.hpp"

#include <termios.h>
#include <unistd.h>

#include <fstream>
#include <iostream>

#include "commands.hpp"

namespace lumora::host::cli {

namespace {

constexpr size_t kMaxPasswordBytes = 4096;

// Echo off while the person types, back on however the reading ends.
class HiddenInput {
public:
    HiddenInput() : m_active(::tcgetattr(STDIN_FILENO, &m_saved) == 0) {
        if (!m_active) return;
        termios quiet = m_saved;
        quiet.c_lflag &= ~static_cast<tcflag_t>(ECHO);
        ::tcsetattr(STDIN_FILENO, TCSAFLUSH, &quiet);
    }
    ~HiddenInput() {
        if (m_active) ::tcsetattr(STDIN_FILENO, TCSAFLUSH, &m_saved);
    }
    HiddenInput(const HiddenInput&) = delete;
    HiddenInput& operator=(const HiddenInput&) = delete;

private:
    termios m_saved{};
    bool m_active;
};

}  // namespace

std::string readPassword(const std::string& command, const std::optional<std::string>& file, const std::string& prompt) {
    std::string password;
    if (file) {
        std::ifstream in(*file, std::ios::binary);
        if (!in) throw UsageError(command + ": the password file " + *file + " cannot be read");
        std::getline(in, password);
    } else if (::isatty(STDIN_FILENO)) {
        std::cerr << prompt << ": " << std::flush;
        HiddenInput hidden;
        std::getline(std::cin, password);
        std::cerr << '\n';
    } else {
        std::getline(std::cin, password);
    }
    if (!password.empty() && password.back() == '\r') password.pop_back();
    if (password.empty()) throw UsageError(command + ": the password is empty");
    if (password.size() > kMaxPasswordBytes) throw UsageError(command + ": the password is too long");
    return password;
}

}  // namespace lumora::host::cli

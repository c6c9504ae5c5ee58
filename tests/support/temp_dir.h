#pragma once

// A fresh folder for one test, removed with everything in it afterwards.

#include <filesystem>
#include <fstream>
#include <initializer_list>
#include <optional>
#include <string>

namespace takton::testing {

class TempDir {
  public:
    TempDir() {
        std::string pattern = (std::filesystem::temp_directory_path() / "takton-test-XXXXXX");
        path_ = ::mkdtemp(pattern.data());
    }
    ~TempDir() {
        std::error_code ec;
        std::filesystem::permissions(path_, std::filesystem::perms::owner_all,
                                     std::filesystem::perm_options::add, ec);
        std::filesystem::remove_all(path_, ec);
    }
    TempDir(const TempDir &) = delete;
    TempDir &operator=(const TempDir &) = delete;

    const std::string &Path() const { return path_; }
    std::string File(const std::string &name) const { return path_ + "/" + name; }

    void Write(const std::string &name, const std::string &bytes) const {
        std::ofstream(File(name), std::ios::binary) << bytes;
    }
    std::optional<std::string> Read(const std::string &name) const {
        std::ifstream in(File(name), std::ios::binary);
        if (!in)
            return std::nullopt;
        return std::string(std::istreambuf_iterator<char>(in), {});
    }

  private:
    std::string path_;
};

// Lines as the project's text files hold them, each ended with CR LF.
inline std::string CrLf(std::initializer_list<std::string> lines) {
    std::string text;
    for (const auto &line : lines)
        text += line + "\r\n";
    return text;
}

} // namespace takton::testing

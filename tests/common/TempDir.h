#pragma once
// A fresh directory per test, removed with everything in it afterwards: the one
// temporary-folder helper of every test suite.

#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <stdexcept>
#include <string>
#include <string_view>

class TempDir {
public:
    TempDir()
    {
        // create_directory fails on a name that exists, so a name is only taken
        // once even by tests running in parallel (no mkdtemp on Windows).
        std::random_device seed;
        const auto base = std::filesystem::temp_directory_path();
        for (int attempt = 0; attempt < 100 && m_path.empty(); ++attempt) {
            const auto candidate = base / ("toolkit-test-" + std::to_string(seed()));
            std::error_code ec;
            if (std::filesystem::create_directory(candidate, ec)) m_path = candidate;
        }
        if (m_path.empty()) throw std::runtime_error("no temporary directory in " + base.string());
    }
    ~TempDir()
    {
        std::error_code ec;
        std::filesystem::remove_all(m_path, ec);
    }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::filesystem::path& path() const { return m_path; }

    std::string file(std::string_view name) const { return (m_path / name).string(); }

    // A folder inside, made with its parents when missing.
    std::filesystem::path subdir(std::string_view name) const
    {
        const auto dir = m_path / name;
        std::filesystem::create_directories(dir);
        return dir;
    }

    std::string write(std::string_view name, std::string_view bytes) const
    {
        std::string p = file(name);
        std::ofstream(p, std::ios::binary).write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        return p;
    }

    static std::string read(const std::string& path)
    {
        std::ifstream in(path, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }

private:
    std::filesystem::path m_path;
};

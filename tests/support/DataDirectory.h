#pragma once

#include <filesystem>
#include <string>

// Runs a test from a working directory, as the game runs from its data folder.
class WorkingDirectory {
public:
    explicit WorkingDirectory(const std::filesystem::path& directory)
        : previous(std::filesystem::current_path()) {
        std::filesystem::current_path(directory);
    }
    ~WorkingDirectory() { std::filesystem::current_path(previous); }

private:
    std::filesystem::path previous;
};

// A fresh scratch folder below the system's temporary directory, removed afterwards.
class ScratchDirectory {
public:
    ScratchDirectory();
    ~ScratchDirectory();

    const std::filesystem::path& path() const { return root; }
    void write(const std::string& relativePath, const std::string& contents) const;

private:
    std::filesystem::path root;
};

#pragma once

#include <stdexcept>
#include <string>

// Raised by the configuration reader for unreadable files, syntax errors and failed lookups.
class ConfigurationException : public std::runtime_error {
public:
    explicit ConfigurationException(const std::string& message) : std::runtime_error(message) {}
};

#include "app/Configuration.h"

#include "app/ConfigurationException.h"
#include "app/ConfigurationParser.h"

#include <algorithm>
#include <cctype>
#include <climits>

namespace {

std::string trimmed(const std::string& text) {
    auto isBlank = [](unsigned char c) { return std::isspace(c) != 0; };
    auto first = std::find_if_not(text.begin(), text.end(), isBlank);
    auto last = std::find_if_not(text.rbegin(), text.rend(), isBlank).base();
    return first < last ? std::string(first, last) : std::string();
}

std::string lowered(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

std::string fullName(const std::string& scope, const std::string& name) {
    return scope.empty() ? name : scope + "." + name;
}

} // namespace

void Configuration::parse(const std::string& path) {
    ConfigurationParser(*this, path, "", 0).parse();
}

const Configuration::Value& Configuration::lookup(const std::string& scope,
                                                  const std::string& name) const {
    auto found = variables.find(fullName(scope, name));
    if (found == variables.end()) {
        throw ConfigurationException("'" + fullName(scope, name) + "' is not set");
    }
    return found->second;
}

std::string Configuration::lookupString(const std::string& scope, const std::string& name) const {
    const Value& value = lookup(scope, name);
    if (value.isList) {
        throw ConfigurationException("'" + fullName(scope, name) + "' is a list, not a string");
    }
    return value.text;
}

std::vector<std::string> Configuration::lookupList(const std::string& scope,
                                                   const std::string& name) const {
    const Value& value = lookup(scope, name);
    if (!value.isList) {
        throw ConfigurationException("'" + fullName(scope, name) + "' is a string, not a list");
    }
    return value.items;
}

int Configuration::lookupInt(const std::string& scope, const std::string& name) const {
    std::string text = trimmed(lookupString(scope, name));
    bool signed_ = !text.empty() && (text[0] == '+' || text[0] == '-');
    bool negative = signed_ && text[0] == '-';
    std::size_t digitsStart = signed_ ? 1 : 0;
    bool allDigits = text.size() > digitsStart &&
                     std::all_of(text.begin() + digitsStart, text.end(),
                                 [](unsigned char c) { return std::isdigit(c) != 0; });
    long long number = 0;
    for (std::size_t i = digitsStart; allDigits && i < text.size(); ++i) {
        number = number * 10 + (text[i] - '0');
        allDigits = number <= static_cast<long long>(INT_MAX) + 1;
    }
    number = negative ? -number : number;
    if (!allDigits || number > INT_MAX || number < INT_MIN) {
        throw ConfigurationException("'" + fullName(scope, name) + "' is not an integer");
    }
    return static_cast<int>(number);
}

bool Configuration::lookupBoolean(const std::string& scope, const std::string& name) const {
    std::string text = lowered(lookupString(scope, name));
    if (text == "true") {
        return true;
    }
    if (text == "false") {
        return false;
    }
    throw ConfigurationException("'" + fullName(scope, name) + "' is not a boolean");
}

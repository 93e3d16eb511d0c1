#pragma once

#include <map>
#include <set>
#include <string>
#include <vector>

// Reader for our configuration file syntax:
//   # comment                      name = "value";      name ?= "only if unset";
//   name = "a" + <%raw text%>;     list = ["a", "b"] + ["c"];
//   scope { inner.name = "x"; }    @include "other.cfg";
// Strings escape with %n, %t, %", %%. Failures raise ConfigurationException with file and line.
class Configuration {
public:
    void parse(const std::string& path);

    // Lookups read variables by scope and name; an empty scope means the global one.
    std::string lookupString(const std::string& scope, const std::string& name) const;
    std::vector<std::string> lookupList(const std::string& scope, const std::string& name) const;
    int lookupInt(const std::string& scope, const std::string& name) const;
    bool lookupBoolean(const std::string& scope, const std::string& name) const;

    bool hasScope(const std::string& scope) const { return scopes.count(scope) != 0; }

    struct Value {
        bool isList = false;
        std::string text;
        std::vector<std::string> items;
    };

private:
    friend class ConfigurationParser;

    const Value& lookup(const std::string& scope, const std::string& name) const;

    std::map<std::string, Value> variables;
    std::set<std::string> scopes;
};

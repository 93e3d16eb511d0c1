#include "app/ConfigurationParser.h"

#include "app/ConfigurationException.h"

#include <cctype>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace {

// Deep enough for any sane layout, shallow enough to stop an include cycle.
constexpr int maxIncludeDepth = 16;

bool isNameStart(char c) {
    return std::isalpha(static_cast<unsigned char>(c)) || c == '_';
}

bool isNameChar(char c) {
    return std::isalnum(static_cast<unsigned char>(c)) || c == '_' || c == '-' || c == '.';
}

std::string joinScope(const std::string& scope, const std::string& name) {
    return scope.empty() ? name : scope + "." + name;
}

} // namespace

ConfigurationParser::ConfigurationParser(Configuration& target, std::string path, std::string scope,
                                         int depth)
    : target(target), path(std::move(path)), scope(std::move(scope)), depth(depth) {}

void ConfigurationParser::parse() {
    if (depth > maxIncludeDepth) {
        throw ConfigurationException(path + ": includes nested too deeply");
    }
    readFile();
    advance();
    parseStatements(scope, false);
}

void ConfigurationParser::readFile() {
    std::ifstream file(path, std::ios::binary);
    if (!file) {
        throw ConfigurationException("cannot read file '" + path + "'");
    }
    std::ostringstream contents;
    contents << file.rdbuf();
    source = contents.str();
}

void ConfigurationParser::fail(const std::string& message) const {
    throw ConfigurationException(path + ", line " + std::to_string(current.line) + ": " + message);
}

void ConfigurationParser::advance() {
    current = nextToken();
}

void ConfigurationParser::expect(TokenType type, const char* what) {
    if (current.type != type) {
        fail(std::string("expected ") + what);
    }
    advance();
}

void ConfigurationParser::skipBlanksAndComments() {
    while (offset < source.size()) {
        char c = source[offset];
        if (c == '\n') {
            ++line;
            ++offset;
        } else if (std::isspace(static_cast<unsigned char>(c))) {
            ++offset;
        } else if (c == '#') {
            while (offset < source.size() && source[offset] != '\n') {
                ++offset;
            }
        } else {
            return;
        }
    }
}

ConfigurationParser::Token ConfigurationParser::nextToken() {
    skipBlanksAndComments();
    Token token;
    token.line = line;
    if (offset >= source.size()) {
        return token;
    }
    char c = source[offset];
    if (c == '"') {
        return readQuoted();
    }
    if (source.compare(offset, 2, "<%") == 0) {
        return readRaw();
    }
    if (isNameStart(c)) {
        return readName();
    }
    if (c == '@') {
        ++offset;
        Token directive = readName();
        directive.type = TokenType::Directive;
        return directive;
    }
    if (source.compare(offset, 2, "?=") == 0) {
        offset += 2;
        token.type = TokenType::OptionalEquals;
        return token;
    }
    static const std::string punctuation = "=;+,{}[]";
    static const TokenType punctuationTypes[] = {TokenType::Equals,      TokenType::Semicolon,
                                                 TokenType::Plus,        TokenType::Comma,
                                                 TokenType::OpenBrace,   TokenType::CloseBrace,
                                                 TokenType::OpenBracket, TokenType::CloseBracket};
    std::size_t which = punctuation.find(c);
    if (which == std::string::npos) {
        current.line = line;
        fail(std::string("unexpected character '") + c + "'");
    }
    ++offset;
    token.type = punctuationTypes[which];
    return token;
}

ConfigurationParser::Token ConfigurationParser::readName() {
    Token token;
    token.type = TokenType::Name;
    token.line = line;
    while (offset < source.size() && isNameChar(source[offset])) {
        token.text += source[offset++];
    }
    return token;
}

ConfigurationParser::Token ConfigurationParser::readQuoted() {
    Token token;
    token.type = TokenType::String;
    token.line = line;
    ++offset;
    while (true) {
        if (offset >= source.size() || source[offset] == '\n') {
            current.line = token.line;
            fail("unterminated string");
        }
        char c = source[offset++];
        if (c == '"') {
            return token;
        }
        if (c != '%') {
            token.text += c;
            continue;
        }
        char escaped = offset < source.size() ? source[offset++] : '\0';
        switch (escaped) {
        case 'n':
            token.text += '\n';
            break;
        case 't':
            token.text += '\t';
            break;
        case '"':
            token.text += '"';
            break;
        case '%':
            token.text += '%';
            break;
        default:
            current.line = line;
            fail("unknown escape in string");
        }
    }
}

ConfigurationParser::Token ConfigurationParser::readRaw() {
    Token token;
    token.type = TokenType::String;
    token.line = line;
    std::size_t end = source.find("%>", offset + 2);
    if (end == std::string::npos) {
        current.line = token.line;
        fail("unterminated <% string");
    }
    token.text = source.substr(offset + 2, end - offset - 2);
    for (char c : token.text) {
        line += c == '\n' ? 1 : 0;
    }
    offset = end + 2;
    return token;
}

void ConfigurationParser::parseStatements(const std::string& scopeName, bool insideBraces) {
    while (true) {
        if (current.type == TokenType::End) {
            if (insideBraces) {
                fail("missing '}'");
            }
            return;
        }
        if (current.type == TokenType::CloseBrace) {
            if (!insideBraces) {
                fail("unexpected '}'");
            }
            return;
        }
        if (current.type == TokenType::Directive) {
            parseInclude();
            continue;
        }
        if (current.type != TokenType::Name) {
            fail("expected a name");
        }
        std::string name = joinScope(scopeName, current.text);
        advance();
        if (current.type == TokenType::OpenBrace) {
            target.scopes.insert(name);
            advance();
            parseStatements(name, true);
            expect(TokenType::CloseBrace, "'}'");
        } else {
            parseAssignment(name);
        }
    }
}

void ConfigurationParser::parseInclude() {
    if (current.text != "include") {
        fail("unknown directive '@" + current.text + "'");
    }
    advance();
    if (current.type != TokenType::String) {
        fail("expected a file name after @include");
    }
    std::filesystem::path included = current.text;
    if (included.is_relative()) {
        included = std::filesystem::path(path).parent_path() / included;
    }
    advance();
    expect(TokenType::Semicolon, "';'");
    ConfigurationParser(target, included.string(), scope, depth + 1).parse();
}

void ConfigurationParser::parseAssignment(const std::string& name) {
    bool optional = current.type == TokenType::OptionalEquals;
    if (current.type != TokenType::Equals && !optional) {
        fail("expected '=' or '{' after '" + name + "'");
    }
    advance();
    Configuration::Value value = parseValue();
    expect(TokenType::Semicolon, "';'");
    if (!optional || target.variables.count(name) == 0) {
        target.variables[name] = std::move(value);
    }
}

Configuration::Value ConfigurationParser::parseValue() {
    Configuration::Value value = parseTerm();
    while (current.type == TokenType::Plus) {
        advance();
        Configuration::Value right = parseTerm();
        if (value.isList != right.isList) {
            fail("cannot join a string and a list");
        }
        value.text += right.text;
        value.items.insert(value.items.end(), right.items.begin(), right.items.end());
    }
    return value;
}

Configuration::Value ConfigurationParser::parseTerm() {
    Configuration::Value value;
    if (current.type == TokenType::String) {
        value.text = current.text;
        advance();
        return value;
    }
    if (current.type != TokenType::OpenBracket) {
        fail(current.type == TokenType::Name ? "function calls and references are not supported"
                                             : "expected a string or a list");
    }
    value.isList = true;
    advance();
    while (current.type != TokenType::CloseBracket) {
        if (current.type != TokenType::String) {
            fail("expected a string in the list");
        }
        value.items.push_back(current.text);
        advance();
        if (current.type == TokenType::Comma) {
            advance();
        } else if (current.type != TokenType::CloseBracket) {
            fail("expected ',' or ']'");
        }
    }
    advance();
    return value;
}

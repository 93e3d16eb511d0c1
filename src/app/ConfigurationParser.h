#pragma once

#include "app/Configuration.h"

#include <string>

// Parses one file (and the files it includes) into a Configuration.
class ConfigurationParser {
public:
    ConfigurationParser(Configuration& target, std::string path, std::string scope, int depth);

    void parse();

private:
    enum class TokenType {
        Name,
        String,
        Equals,
        OptionalEquals,
        Semicolon,
        Plus,
        Comma,
        OpenBrace,
        CloseBrace,
        OpenBracket,
        CloseBracket,
        Directive,
        End
    };
    struct Token {
        TokenType type = TokenType::End;
        std::string text;
        int line = 1;
    };

    void readFile();
    Token nextToken();
    Token readQuoted();
    Token readRaw();
    Token readName();
    void skipBlanksAndComments();
    void advance();
    void expect(TokenType type, const char* what);
    [[noreturn]] void fail(const std::string& message) const;

    void parseStatements(const std::string& scope, bool insideBraces);
    void parseInclude();
    void parseAssignment(const std::string& name);
    Configuration::Value parseValue();
    Configuration::Value parseTerm();

    Configuration& target;
    std::string path;
    std::string scope;
    int depth;
    std::string source;
    std::size_t offset = 0;
    int line = 1;
    Token current;
};

#pragma once

#include <string>

// Splits a text into tokens at single delimiter characters.
class CTokenizer {
public:
    CTokenizer(const std::string& text = std::string(), const std::string& delimiters = std::string());
    virtual ~CTokenizer() = default;

    void SetText(const std::string& text);
    void SetDelimiters(const std::string& delimiters);

    bool HasMoreTokens() const;
    std::string NextToken();
    std::string NextQuotedToken();
    int NextIntToken();
    double NextFloatToken();
    bool NextBoolToken();

private:
    std::string m_text;
    std::string m_delimiters;
    size_t m_position = 0;
};

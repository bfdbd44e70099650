#include "common/ctokenizer.h"

#include <cctype>
#include <cstdlib>

CTokenizer::CTokenizer(const std::string& text, const std::string& delimiters)
    : m_text(text), m_delimiters(delimiters)
{
}

void CTokenizer::SetText(const std::string& text)
{
    m_text = text;
    m_position = 0;
}

void CTokenizer::SetDelimiters(const std::string& delimiters)
{
    m_delimiters = delimiters;
}

bool CTokenizer::HasMoreTokens() const
{
    return m_position < m_text.size();
}

std::string CTokenizer::NextToken()
{
    if (m_position >= m_text.size())
        return std::string();
    const size_t hit = m_text.find_first_of(m_delimiters, m_position);
    std::string token;
    if (hit == std::string::npos || m_delimiters.empty()) {
        token = m_text.substr(m_position);
        m_position = m_text.size();
    } else {
        token = m_text.substr(m_position, hit - m_position);
        m_position = hit + 1;
    }
    return token;
}

std::string CTokenizer::NextQuotedToken()
{
    const size_t open = m_text.find('"', m_position);
    if (open == std::string::npos) {
        m_position = m_text.size();
        return std::string();
    }
    const size_t close = m_text.find('"', open + 1);
    if (close == std::string::npos) {
        m_position = m_text.size();
        return m_text.substr(open + 1);
    }
    std::string token = m_text.substr(open + 1, close - open - 1);
    const size_t hit = m_delimiters.empty() ? std::string::npos
                                            : m_text.find_first_of(m_delimiters, close + 1);
    m_position = hit == std::string::npos ? m_text.size() : hit + 1;
    return token;
}

int CTokenizer::NextIntToken()
{
    return static_cast<int>(std::strtol(NextToken().c_str(), nullptr, 10));
}

double CTokenizer::NextFloatToken()
{
    return std::strtod(NextToken().c_str(), nullptr);
}

bool CTokenizer::NextBoolToken()
{
    std::string token = NextToken();
    for (char& c : token)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    if (token == "true" || token == "yes" || token == "on")
        return true;
    return std::strtol(token.c_str(), nullptr, 10) != 0;
}

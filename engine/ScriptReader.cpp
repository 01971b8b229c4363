#include "engine/ScriptReader.h"

#include <climits>
#include <cstdint>

std::string_view ScriptReader::readWord()
{
    while (pos < text.size() && isSpace(text[pos]))
        ++pos;
    size_t start = pos;
    while (pos < text.size() && !isSpace(text[pos]))
        ++pos;
    return text.substr(start, pos - start);
}

std::string_view ScriptReader::peekWord() const
{
    ScriptReader ahead(*this);
    return ahead.readWord();
}

std::string_view ScriptReader::restOfLine()
{
    size_t start = pos;
    size_t end = text.find('\n', pos);
    if (end == std::string_view::npos) {
        pos = text.size();
        return text.substr(start);
    }
    pos = end + 1;
    return text.substr(start, end - start);
}

bool ScriptReader::readInt(int& value)
{
    while (pos < text.size() && isSpace(text[pos]))
        ++pos;
    bool negative = false;
    if (pos < text.size() && (text[pos] == '+' || text[pos] == '-')) {
        negative = text[pos] == '-';
        ++pos;
    }
    if (pos >= text.size() || text[pos] < '0' || text[pos] > '9')
        return false;
    int64_t magnitude = 0;
    bool overflow = false;
    while (pos < text.size() && text[pos] >= '0' && text[pos] <= '9') {
        magnitude = magnitude * 10 + (text[pos] - '0');
        if (magnitude > int64_t(INT_MAX) + 1) {
            overflow = true;
            magnitude = int64_t(INT_MAX) + 1;
        }
        ++pos;
    }
    int64_t result = negative ? -magnitude : magnitude;
    if (overflow || result > INT_MAX || result < INT_MIN)
        return false;
    value = static_cast<int>(result);
    return true;
}

int ScriptReader::toInt(std::string_view word)
{
    size_t i = 0;
    bool negative = false;
    if (i < word.size() && (word[i] == '+' || word[i] == '-')) {
        negative = word[i] == '-';
        ++i;
    }
    int64_t magnitude = 0;
    for (; i < word.size() && word[i] >= '0' && word[i] <= '9'; ++i) {
        magnitude = magnitude * 10 + (word[i] - '0');
        if (magnitude > int64_t(INT_MAX) + 1)
            magnitude = int64_t(INT_MAX) + 1; // saturate; keeps reading digits
    }
    int64_t result = negative ? -magnitude : magnitude;
    if (result > INT_MAX)
        return INT_MAX;
    if (result < INT_MIN)
        return INT_MIN;
    return static_cast<int>(result);
}

bool ScriptReader::isNumeric(std::string_view word)
{
    return toInt(word) != 0 || startsWith(word, "0");
}

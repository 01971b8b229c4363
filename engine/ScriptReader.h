#pragma once
// The word reader under every stage of the script parser, and the script's
// number rules.
//
// Words are runs of characters between white space (blank, tab, line feed,
// carriage return, vertical tab, form feed); reading a word skips any white
// space before it, line breaks included. The reader never copies: words are
// views into the text, which must outlive the reader.
//
// Three ways to read a number, as the script format uses them:
//   toInt        time and value words, like atoi: optional sign, digits up to
//                the first other character, 0 without digits; values outside
//                the 32-bit range saturate.
//   isNumeric    the test that tells a numeric signal value from a text one:
//                a word is text when toInt gives 0 and it does not begin with
//                "0" (so "0" is numeric and "-0", "hello" are text).
//   readInt      ids, codes and layers, like stream extraction of an int: the
//                digits may be followed directly by the next word ("7abc"
//                reads 7 and leaves "abc"); no digits, or a value outside the
//                32-bit range, is a failure.

#include <cstddef>
#include <string_view>

class ScriptReader {
public:
    explicit ScriptReader(std::string_view text) : text(text) {}

    // The next word, or an empty view at the end of the text.
    std::string_view readWord();
    // The next word without consuming it.
    std::string_view peekWord() const;
    // Everything from the current position up to the next line feed, which is
    // consumed but not returned.
    std::string_view restOfLine();
    // Stream-style integer; false (position unspecified) when there is none.
    bool readInt(int& value);

    bool atEnd() const { return pos >= text.size(); }
    // Offset of the reading position in the text.
    size_t position() const { return pos; }

    static bool isSpace(char c)
    {
        return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f';
    }
    static int toInt(std::string_view word);
    static bool isNumeric(std::string_view word);
    static bool startsWith(std::string_view word, std::string_view prefix)
    {
        return word.substr(0, prefix.size()) == prefix;
    }

private:
    std::string_view text;
    size_t pos = 0;
};

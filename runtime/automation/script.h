// The automation driver's script: reading the file into lines of words, and the checks every
// verb shares (word counts, numbers, paths, the error line that ends the run).
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace quillora::runtime {

struct ScriptLine {
    int number = 0;                  // line number in the file, from 1
    std::vector<std::string> words;  // words[0] is the verb
};

// Splits a line into blank-separated words. Double quotes group blanks into a word, with \",
// \\ and \n inside them; a # outside quotes at the start of a word ends the line. False (with
// the reason) for an unterminated quote.
bool splitWords(std::string_view text, std::vector<std::string>& words, std::string& problem);

// The non-empty lines of the script file; nothing when it cannot be read. A line that cannot be
// split ends the run with its error line.
std::optional<std::vector<ScriptLine>> readScript(const std::string& path);

// Prints error<TAB>LINE<TAB>REASON to standard error and ends the program with exit code 3.
[[noreturn]] void failAt(int lineNumber, const std::string& problem);
[[noreturn]] void fail(const ScriptLine& line, const std::string& problem);

// Ends the run unless the line has `least` to `most` arguments (the words after the verb).
void expectArguments(const ScriptLine& line, std::size_t least, std::size_t most, std::string_view usage);

// A whole decimal number of at most nine digits, no sign; nothing otherwise.
std::optional<int> wholeNumber(std::string_view text);
// Word `index` as a whole number; a missing or malformed one ends the run with "expected USAGE".
int numberArgument(const ScriptLine& line, std::size_t index, std::string_view usage);

// A text as one output field: tabs and line breaks written as \t, \n and \r.
std::string escapedField(std::string_view text);

}  // namespace quillora::runtime

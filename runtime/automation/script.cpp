#include "runtime/automation/script.h"

#include "runtime/core/program_exit.h"

#include <cstdio>
#include <fstream>

namespace quillora::runtime {
namespace {

constexpr int kScriptFailedExitCode = 3;
constexpr std::size_t kMostDigits = 9;  // fits an int without overflow

bool blank(char c)
{
    return c == ' ' || c == '\t' || c == '\r';
}

}  // namespace

bool splitWords(std::string_view text, std::vector<std::string>& words, std::string& problem)
{
    std::size_t at = 0;
    while (at < text.size()) {
        while (at < text.size() && blank(text[at]))
            ++at;
        if (at >= text.size() || text[at] == '#')
            break;
        std::string word;
        while (at < text.size() && !blank(text[at])) {
            if (text[at] != '"') {
                word += text[at++];
                continue;
            }
            ++at;
            bool closed = false;
            while (at < text.size()) {
                const char c = text[at++];
                if (c == '"') {
                    closed = true;
                    break;
                }
                if (c == '\\' && at < text.size()) {
                    const char escapedChar = text[at++];
                    word += escapedChar == 'n' ? '\n' : escapedChar;
                    continue;
                }
                word += c;
            }
            if (!closed) {
                problem = "unterminated quote";
                return false;
            }
        }
        words.push_back(std::move(word));
    }
    return true;
}

std::optional<std::vector<ScriptLine>> readScript(const std::string& path)
{
    std::ifstream file(path);
    if (!file)
        return std::nullopt;
    std::vector<ScriptLine> lines;
    std::string text;
    for (int number = 1; std::getline(file, text); ++number) {
        ScriptLine line{number, {}};
        std::string problem;
        if (!splitWords(text, line.words, problem))
            failAt(number, problem);
        if (!line.words.empty())
            lines.push_back(std::move(line));
    }
    return lines;
}

std::string escapedField(std::string_view text)
{
    std::string out;
    out.reserve(text.size());
    for (char c : text) {
        switch (c) {
        case '\n': out += "\\n"; break;
        case '\t': out += "\\t"; break;
        case '\r': out += "\\r"; break;
        default: out += c;
        }
    }
    return out;
}

void failAt(int lineNumber, const std::string& problem)
{
    std::fprintf(stderr, "error\t%d\t%s\n", lineNumber, escapedField(problem).c_str());
    std::fflush(stderr);
    exitProgram(kScriptFailedExitCode);
}

void fail(const ScriptLine& line, const std::string& problem)
{
    failAt(line.number, problem);
}

void expectArguments(const ScriptLine& line, std::size_t least, std::size_t most, std::string_view usage)
{
    const std::size_t given = line.words.size() - 1;
    if (given < least || given > most)
        fail(line, "expected " + std::string(usage));
}

std::optional<int> wholeNumber(std::string_view text)
{
    if (text.empty() || text.size() > kMostDigits || text.find_first_not_of("0123456789") != std::string_view::npos)
        return std::nullopt;
    int number = 0;
    for (char digit : text)
        number = number * 10 + (digit - '0');
    return number;
}

int numberArgument(const ScriptLine& line, std::size_t index, std::string_view usage)
{
    const std::optional<int> number = index < line.words.size() ? wholeNumber(line.words[index]) : std::nullopt;
    if (!number)
        fail(line, "expected " + std::string(usage));
    return *number;
}

}  // namespace quillora::runtime

// The answers a script queues for the dialogs that will open. Each kind of dialog has its own
// queue, taken from the front when a dialog of that kind opens; a dialog that finds its queue
// empty behaves as if cancelled, a message box takes its default button.
#include "runtime/automation/driver.h"
#include "runtime/automation/verbs.h"
#include "runtime/core/runtime_start.h"

#include "platform/message_box.h"

#include <deque>
#include <map>

namespace quillora::runtime {
namespace {

struct AnswerQueues {
    std::deque<int> messageBox;  // the button numbers of the answers
    std::map<std::string, std::deque<std::string>, std::less<>> dialogs;
};

AnswerQueues& queues()
{
    static AnswerQueues answers;
    return answers;
}

const std::map<std::string, int, std::less<>>& messageBoxButtons()
{
    static const std::map<std::string, int, std::less<>> buttons = {{"ok", 1}, {"cancel", 2}, {"yes", 6}, {"no", 7}};
    return buttons;
}

bool isFontStyle(std::string_view word)
{
    return word == "bold" || word == "italic" || word == "underline" || word == "strikeout";
}

// "answer font NAME SIZE [styles]" as the font dialog reads it: "FACE SIZE styles", with a face
// of several words quoted.
std::string fontAnswer(const ScriptLine& line)
{
    const std::string& face = line.words[2];
    std::string text = face.find(' ') == std::string::npos ? face : "\"" + face + "\"";
    for (std::size_t index = 3; index < line.words.size(); ++index) {
        const std::string& word = line.words[index];
        if (index > 3 && !isFontStyle(word))
            fail(line, "unknown font style " + word);
        text += " " + word;
    }
    return text;
}

int answerMessageBox(const platform::MessageBoxRequest& request)
{
    std::deque<int>& answers = queues().messageBox;
    int answer = platform::defaultMessageBoxAnswer(request.style);
    if (!answers.empty()) {
        answer = answers.front();
        answers.pop_front();
    }
    say("message-box\t" + escapedField(request.title) + "\t" + escapedField(request.text) + "\t"
        + std::to_string(request.style));
    return answer;
}

}  // namespace

// "answer KIND ...": what a dialog then takes from takeAutomationAnswer is a folder or file path
// ("" when cancelled), "ok" or "cancel" for the print dialog, "FACE SIZE [styles]" or "cancel"
// for the font dialog.
void runAnswer(const ScriptLine& line)
{
    const std::string& kind = line.words[1];
    const std::string& answer = line.words[2];
    if (kind == "message-box") {
        expectArguments(line, 2, 2, "answer message-box ok|cancel|yes|no");
        const auto found = messageBoxButtons().find(answer);
        if (found == messageBoxButtons().end())
            fail(line, "expected answer message-box ok|cancel|yes|no");
        queues().messageBox.push_back(found->second);
    } else if (kind == "folder" || kind == "save-file") {
        expectArguments(line, 2, 2, "answer folder|save-file PATH|cancel");
        queues().dialogs[kind].push_back(answer == "cancel" ? std::string() : launchPath(answer));
    } else if (kind == "print-dialog") {
        expectArguments(line, 2, 2, "answer print-dialog ok|cancel");
        if (answer != "ok" && answer != "cancel")
            fail(line, "expected answer print-dialog ok|cancel");
        queues().dialogs[kind].push_back(answer);
    } else if (kind == "font") {
        if (answer == "cancel") {
            expectArguments(line, 2, 2, "answer font cancel");
            queues().dialogs[kind].push_back(answer);
            return;
        }
        expectArguments(line, 3, kAnyNumberOfArguments,
                        "answer font NAME SIZE [bold] [italic] [underline] [strikeout]");
        queues().dialogs[kind].push_back(fontAnswer(line));
    } else {
        fail(line, "unknown dialog " + kind);
    }
}

void interceptMessageBoxes()
{
    platform::setMessageBoxInterceptor(&answerMessageBox);
}

std::optional<std::string> takeAutomationAnswer(std::string_view kind)
{
    if (!automationRunning())
        return std::nullopt;
    auto found = queues().dialogs.find(kind);
    if (found == queues().dialogs.end() || found->second.empty())
        return std::nullopt;
    std::string answer = std::move(found->second.front());
    found->second.pop_front();
    return answer;
}

}  // namespace quillora::runtime

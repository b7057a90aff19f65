// Stand-ins for the user in engine tests: a prompt that answers from a script and records
// every message it was shown, and a recorder of message boxes.
#pragma once

#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "links/batch.h"

namespace velmora::test {

class ScriptedPrompt : public IPrompt {
public:
    ScriptedPrompt() = default;
    explicit ScriptedPrompt(std::deque<PromptAnswer> answers,
                            PromptAnswer otherwise = PromptAnswer::Skip)
        : m_answers(std::move(answers)), m_otherwise(otherwise) {}

    PromptAnswer Ask(const std::string& message) override {
        m_messages.push_back(message);
        if (m_beforeAnswer) {
            m_beforeAnswer(message);
        }
        if (m_answers.empty()) {
            return m_otherwise;
        }
        const PromptAnswer answer = m_answers.front();
        m_answers.pop_front();
        return answer;
    }

    void Then(PromptAnswer answer) { m_answers.push_back(answer); }
    // The answer once the script has run out.
    void Otherwise(PromptAnswer answer) { m_otherwise = answer; }
    // Runs before each answer is given (for example to remove an obstacle before Retry).
    void BeforeAnswer(std::function<void(const std::string&)> hook) {
        m_beforeAnswer = std::move(hook);
    }
    const std::vector<std::string>& Messages() const { return m_messages; }

private:
    std::deque<PromptAnswer> m_answers;
    PromptAnswer m_otherwise = PromptAnswer::Skip;
    std::function<void(const std::string&)> m_beforeAnswer;
    std::vector<std::string> m_messages;
};

class MessageRecorder : public IMessages {
public:
    void ShowMessage(const std::string& text) override { m_shown.push_back(text); }
    const std::vector<std::string>& Shown() const { return m_shown; }

private:
    std::vector<std::string> m_shown;
};

}  // namespace velmora::test

#pragma once

#include <deque>
#include <functional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "Viewer.h"

// The message boxes and the folder picker as a test plays them: every box and every picker is
// recorded; the Yes/No questions and the picker answer from a script.
class ScriptedDialogs final : public MessageBoxes, public FolderChooser {
public:
    enum class Kind { Warning, Information, Question };
    struct Shown {
        std::wstring text;
        Kind kind;
    };
    struct Picker {
        std::wstring startFolder;
        std::wstring title;
    };

    void Warn(const std::wstring& text) override { messages.push_back({text, Kind::Warning}); }
    void Inform(const std::wstring& text) override { messages.push_back({text, Kind::Information}); }
    bool AskYesNo(const std::wstring& text) override {
        messages.push_back({text, Kind::Question});
        if (onQuestion) onQuestion();
        if (answers.empty()) {
            ADD_FAILURE() << "a question nobody scripted an answer for";
            return false;
        }
        const bool yes = answers.front();
        answers.pop_front();
        return yes;
    }
    std::wstring ChooseFolder(const std::wstring& startFolder, const std::wstring& title) override {
        pickers.push_back({startFolder, title});
        return chosenFolder;
    }

    // The texts of every box shown, in order.
    std::vector<std::wstring> Texts() const {
        std::vector<std::wstring> texts;
        for (const Shown& shown : messages) texts.push_back(shown.text);
        return texts;
    }

    std::vector<Shown> messages;
    std::deque<bool> answers;          // the answers to the Yes/No questions still to come
    std::function<void()> onQuestion;  // run as each question is asked
    std::vector<Picker> pickers;
    std::wstring chosenFolder;         // what the folder picker gives back
};

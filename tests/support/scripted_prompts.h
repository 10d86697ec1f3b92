#pragma once

#include "core/document_session.h"
#include "core/entry_line.h"
#include "core/sorted_lines.h"
#include "core/user_prompts.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <deque>
#include <optional>

// The document session without a window: its entries in a plain list, and
// its user a script of answers that keeps what was asked, in order. Qt Core
// only, so that the session's tests run on every system.
namespace callvista::testing {

class MemoryEntries : public EntryStore
{
public:
    const SortedLines& lines() const override { return m_lines; }
    void replaceLines(SortedLines&& lines) override { m_lines = std::move(lines); }
    void clearLines() override { m_lines.clear(); }

    // Adds entries, each given as family, short name and phone.
    void add(const QList<QStringList>& entries)
    {
        for (const QStringList& e : entries)
            m_lines.insert(m_lines.place(makeEntryLine(e.value(0), e.value(1), e.value(2))));
    }

    [[nodiscard]] QStringList families() const
    {
        QStringList names;
        for (int row = 0; row < m_lines.size(); ++row)
            names.append(entryField(m_lines.at(row), Field::Family));
        return names;
    }

private:
    SortedLines m_lines;
};

class ScriptedPrompts : public UserPrompts
{
public:
    // One thing the session asked or told: a question or a message (its
    // title, text and buttons), or a chooser (its caption as the title).
    struct Prompt {
        enum class Kind { Question, Chooser, Message } kind;
        QString title;
        QString text;
        MessageButtons buttons = MessageButtons::Ok;
        MessageAnswer defaultButton = MessageAnswer::Ok;
        ChooserOptions chooser = {};
    };

    MessageAnswer ask(const MessageRequest& question) override
    {
        asked.append({Prompt::Kind::Question, question.title, question.text, question.buttons,
                      question.defaultButton()});
        if (answers.empty()) {
            ++unanswered;
            return MessageAnswer::Cancel;
        }
        const MessageAnswer answer = answers.front();
        answers.pop_front();
        return answer;
    }

    std::optional<QString> choosePath(const ChooserOptions& options) override
    {
        asked.append({Prompt::Kind::Chooser,
                      options.caption,
                      {},
                      MessageButtons::Ok,
                      MessageAnswer::Ok,
                      options});
        if (paths.empty()) {
            ++unanswered;
            return std::nullopt;
        }
        std::optional<QString> path = paths.front();
        paths.pop_front();
        return path;
    }

    void tell(const QString& title, const QString& text) override
    {
        asked.append({Prompt::Kind::Message, title, text});
    }

    // The titles of what was asked and told, choosers by their caption.
    [[nodiscard]] QStringList titles() const
    {
        QStringList result;
        for (const Prompt& prompt : asked)
            result.append(prompt.title);
        return result;
    }

    std::deque<MessageAnswer> answers;
    // The paths the choosers give, nothing for one left without a path.
    std::deque<std::optional<QString>> paths;
    QList<Prompt> asked;
    // Questions and choosers the script had no answer for.
    int unanswered = 0;
};

} // namespace callvista::testing

#include "irc/accountlookups.h"

#include <algorithm>
#include <limits>

namespace irc {

AccountLookups::Outcome AccountLookups::Hold(const UserPtr& user, const QString& text, qint64 nowMs)
{
    const auto question = FindUser(user.get());
    const qsizetype held = question == m_questions.end() ? 0 : static_cast<qsizetype>(question->Lines.size());
    if (m_lines >= MaxLines || held >= MaxLinesPerUser)
        return Outcome::Full;
    ++m_lines;
    if (question != m_questions.end()) {
        question->Lines.push_back({ user, text });
        return Outcome::Queued;
    }
    m_questions.push_back({ user->Nick, nowMs, { { user, text } } });
    return Outcome::Ask;
}

bool AccountLookups::Holds(const TIrcUser* user) const
{
    return std::any_of(m_questions.begin(), m_questions.end(),
        [user](const Question& question) { return question.Lines.front().User.get() == user; });
}

UserPtr AccountLookups::AskedUser(const QString& nick) const
{
    const auto question = FindAsked(nick);
    return question == m_questions.end() ? nullptr : question->Lines.front().User;
}

std::vector<HeldLine> AccountLookups::Answered(const QString& nick)
{
    const auto question = FindAsked(nick);
    if (question == m_questions.end())
        return {};
    std::vector<HeldLine> lines = std::move(question->Lines);
    m_lines -= static_cast<qsizetype>(lines.size());
    m_questions.erase(question);
    return lines;
}

std::vector<HeldLine> AccountLookups::TakeAskedBy(qint64 deadlineMs)
{
    // Questions are asked in time order: the ones due are a prefix.
    const auto late = std::find_if(m_questions.begin(), m_questions.end(),
        [deadlineMs](const Question& question) { return question.AskedAtMs > deadlineMs; });
    std::vector<HeldLine> lines;
    for (auto question = m_questions.begin(); question != late; ++question) {
        for (HeldLine& line : question->Lines)
            lines.push_back(std::move(line));
    }
    m_questions.erase(m_questions.begin(), late);
    m_lines -= static_cast<qsizetype>(lines.size());
    return lines;
}

std::optional<qint64> AccountLookups::OldestQuestion() const
{
    if (m_questions.empty())
        return std::nullopt;
    return m_questions.front().AskedAtMs;
}

std::vector<HeldLine> AccountLookups::TakeAll()
{
    return TakeAskedBy(std::numeric_limits<qint64>::max());
}

std::vector<AccountLookups::Question>::iterator AccountLookups::FindUser(const TIrcUser* user)
{
    return std::find_if(m_questions.begin(), m_questions.end(),
        [user](const Question& question) { return question.Lines.front().User.get() == user; });
}

std::vector<AccountLookups::Question>::const_iterator AccountLookups::FindAsked(const QString& nick) const
{
    return std::find_if(m_questions.begin(), m_questions.end(),
        [&nick](const Question& question) { return SameName(question.AskedNick, nick); });
}

} // namespace irc

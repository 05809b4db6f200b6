#include "commands/countdown.h"

#include "commands/services.h"
#include "common/parseinteger.h"
#include "core/identity.h"

#include <cstdlib>
#include <limits>
#include <optional>

namespace commands {

namespace {

QString TrimControls(const QString& text)
{
    qsizetype from = 0;
    qsizetype to = text.size();
    while (from < to && text[from].unicode() <= 0x20)
        ++from;
    while (to > from && text[to - 1].unicode() <= 0x20)
        --to;
    return text.mid(from, to - from);
}

// A number that starts at position at and runs to the next space (or the end).
struct NumberAt {
    std::optional<int> Value;
    qsizetype End; // the position just after the number's text
};

NumberAt ReadNumberAt(const QString& text, qsizetype at)
{
    if (at > text.size())
        return { std::nullopt, text.size() };
    qsizetype end = text.indexOf(u' ', at);
    if (end < 0)
        end = text.size();
    return { common::ParseInteger(text.mid(at, end - at)), end };
}

// The number that follows the first occurrence of keyword, or nothing when the keyword is absent.
std::optional<NumberAt> NumberAfter(const QString& text, const QString& keyword)
{
    const qsizetype at = text.indexOf(keyword);
    if (at < 0)
        return std::nullopt;
    return ReadNumberAt(text, at + keyword.size());
}

} // namespace

Countdown::Countdown(core::BotState& state, irc::Sender& out, QObject* parent)
    : QObject(parent)
    , m_state(state)
    , m_out(out)
{
    connect(&CountTimer, &QTimer::timeout, this, &Countdown::CountTick);
}

void Countdown::Count(const CommandCall& call, Services& services)
{
    const QString parameter = TrimControls(call.Parameter);
    if (parameter == QLatin1String("resume")) {
        if (!m_state.CountPaused) {
            m_out.Say(call.Nick, QStringLiteral("Sorry, I don't have a countdown paused."));
        } else if (call.Target != m_state.CountTarget) {
            m_out.Say(call.Nick,
                QStringLiteral("Sorry, only ") + m_state.CountTarget
                    + QStringLiteral(" may request countdown to be resumed."));
        } else {
            CountTimer.start();
            m_state.CountPaused = false;
            m_out.Say(call.Target, QStringLiteral("Countdown resumed."));
        }
        return;
    }
    if (Running()) {
        if (parameter == QLatin1String("stop")) {
            if (core::IsPrivileged(services.State, services.Roster, call.Nick)) {
                CountTimer.stop();
                m_out.Say(call.Nick,
                    QStringLiteral("Counting for ") + m_state.CountTarget + QStringLiteral(" stopped."));
            } else {
                m_out.Say(call.Nick, QStringLiteral("Sorry, only my owner may ask me to stop counting."));
            }
        } else if (parameter == QLatin1String("pause")) {
            if (call.Target != m_state.CountTarget) {
                m_out.Say(call.Nick,
                    QStringLiteral("Sorry, only ") + m_state.CountTarget
                        + QStringLiteral(" may request countdown to be paused."));
            } else {
                CountTimer.stop();
                m_state.CountPaused = true;
                m_out.Say(call.Target, QStringLiteral("Countdown paused."));
            }
        } else {
            m_out.Say(
                call.Nick, QStringLiteral("Sorry, I am already counting for ") + m_state.CountTarget + u'.');
        }
        return;
    }
    const bool exempt
        = call.Target == call.Nick || core::IsPrivileged(services.State, services.Roster, call.Nick);
    StartRequest(call, parameter, exempt);
}

void Countdown::StartRequest(const CommandCall& call, const QString& parameter, bool exempt)
{
    const auto refuse = [&](const char* sentence) { m_out.Say(call.Nick, QString::fromLatin1(sentence)); };

    const qsizetype space = parameter.indexOf(u' ');
    if (space < 0)
        return refuse("Please make sure you specify a correct set of parameters. See help for full list.");
    const std::optional<int> first = common::ParseInteger(parameter.left(space));
    if (first && *first < 0)
        return refuse(
            "Please make sure the number for me to count from is a correctly defined non-negative integer.");
    const int start = first.value_or(1); // "count to 10" counts from 1

    const qsizetype to = parameter.indexOf(QLatin1String(" to "));
    const NumberAt end = ReadNumberAt(parameter, to < 0 ? 3 : to + 4);
    if (!end.Value || *end.Value < 0)
        return refuse(
            "Please make sure the number for me to count to is a correctly defined non-negative integer.");

    const std::optional<NumberAt> step = NumberAfter(parameter, QStringLiteral(" step "));
    if (step && (!step->Value || *step->Value < 1))
        return refuse("Please make sure the step specified is a correct positive integer.");

    std::optional<NumberAt> interval = NumberAfter(parameter, QStringLiteral(" interval "));
    if (!interval)
        interval = NumberAfter(parameter, QStringLiteral(" int "));
    // The timer counts milliseconds in an int, which bounds the interval at about 24 days.
    constexpr int MaxIntervalSeconds = std::numeric_limits<int>::max() / 1000;
    if (interval && (!interval->Value || *interval->Value < 1 || *interval->Value > MaxIntervalSeconds))
        return refuse("Please make sure you've specified a correct interval.");

    qsizetype lastEnd = end.End;
    if (step)
        lastEnd = std::max(lastEnd, step->End);
    if (interval)
        lastEnd = std::max(lastEnd, interval->End);
    const QString comment = parameter.mid(lastEnd + 1);

    const long long stepValue = step ? *step->Value : 1;
    const long long seconds = interval ? *interval->Value : 1;
    const long long lines = std::llabs(static_cast<long long>(start) - *end.Value) / stepValue;
    if (lines > MaxChannelLines && !exempt)
        return refuse("Sorry, I won't post more than 30 lines into a channel unless my owner asks me.");
    if (lines * seconds > MaxChannelSeconds && !exempt)
        return refuse(
            "Sorry, I won't count into a channel for more than 10 minutes unless my owner asks me.");

    m_state.CountLabel = comment.isEmpty() ? QStringLiteral("Count") : comment;
    m_state.CountValue = start;
    m_state.CountEnd = *end.Value;
    m_state.CountStep = static_cast<int>(stepValue);
    m_state.CountTarget = call.Target;
    CountTimer.setInterval(static_cast<int>(seconds * 1000));
    CountTimer.start();
    CountTick();
    m_state.CountPaused = false;
}

void Countdown::CountTick()
{
    m_out.Say(m_state.CountTarget,
        m_state.CountLabel + QStringLiteral(": ") + QString::number(m_state.CountValue) + u'.');
    // Stepping is done in 64 bits: a step past the end may lie outside the 32-bit range.
    const long long value = m_state.CountValue;
    const bool up = value < m_state.CountEnd;
    const long long next = up ? value + m_state.CountStep : value - m_state.CountStep;
    if (up ? next > m_state.CountEnd : next < m_state.CountEnd) {
        m_out.Say(m_state.CountTarget, QStringLiteral("Countdown complete."));
        CountTimer.stop();
        return;
    }
    m_state.CountValue = static_cast<int>(next);
}

void CountCommand(const CommandCall& call, Services& services)
{
    services.Count.Count(call, services);
}

} // namespace commands

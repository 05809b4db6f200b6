#include "dice/notationroller.h"

#include <algorithm>
#include <cmath>

namespace dice {

namespace {

const QString ExplodedTooOften = QStringLiteral("a die exploded more than 100 times, so I stopped rolling.");
const QString RerolledTooOften
    = QStringLiteral("a die was rerolled more than 100 times, so I stopped rolling.");

// Marks the dropped ones among values (indices into them) by the keep rule; ties drop the earlier of the
// lowest and the later of the highest.
template <typename Drop>
void ApplyKeep(const RollRules& rules, std::vector<std::pair<double, int>> values, Drop drop)
{
    if (rules.Kept == Keep::All)
        return;
    std::stable_sort(
        values.begin(), values.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
    const qsizetype n = static_cast<qsizetype>(values.size());
    const qsizetype count = std::min<qsizetype>(rules.KeepCount, n);
    qsizetype dropLow = 0;
    qsizetype dropHigh = 0;
    switch (rules.Kept) {
    case Keep::Highest:
        dropLow = n - count;
        break;
    case Keep::Lowest:
        dropHigh = n - count;
        break;
    case Keep::DropHighest:
        dropHigh = count;
        break;
    case Keep::DropLowest:
        dropLow = count;
        break;
    case Keep::All:
        break;
    }
    for (qsizetype i = 0; i < n; ++i) {
        if (i < dropLow || i >= n - dropHigh)
            drop(values[static_cast<std::size_t>(i)].second);
    }
}

int SuccessesOf(const RollRules& rules, double value)
{
    const int face = static_cast<int>(std::lround(value));
    if (value != face)
        return 0;
    const int successes = rules.Double && rules.Double->Matches(face) ? 2
        : rules.Success && rules.Success->Matches(face)               ? 1
                                                                      : 0;
    return successes - (rules.Failure && rules.Failure->Matches(face) ? 1 : 0);
}

class Roller {
public:
    Roller(const RollText& text, FaceSource& faces)
        : m_text(text)
        , m_faces(faces)
    {
    }

    std::variant<std::vector<RollOutcome>, NotationError> Run()
    {
        std::vector<RollOutcome> rolls;
        for (std::size_t plan = 0; plan < m_text.Rolls.size(); ++plan) {
            const RollPlan& roll = m_text.Rolls[plan];
            for (int repeat = 0; repeat < roll.Repeats; ++repeat) {
                RollOutcome outcome;
                outcome.Plan = static_cast<int>(plan);
                outcome.Nodes.resize(static_cast<std::size_t>(roll.Root - roll.FirstNode + 1));
                m_outcome = &outcome;
                outcome.Total = Evaluate(roll.Root);
                if (m_error)
                    return *m_error;
                if (!std::isfinite(outcome.Total) || std::abs(outcome.Total) > 1e15)
                    return NotationError { {}, {}, QStringLiteral("the result is too large to show.") };
                rolls.push_back(std::move(outcome));
            }
        }
        return rolls;
    }

private:
    double Evaluate(int index)
    {
        const double value = Value(index);
        NodeOf(index).Value = value;
        return value;
    }

    NodeOutcome& NodeOf(int index)
    {
        const int first = m_text.Rolls[static_cast<std::size_t>(m_outcome->Plan)].FirstNode;
        return m_outcome->Nodes[static_cast<std::size_t>(index - first)];
    }

    double Value(int index)
    {
        const Node& node = m_text.Nodes[static_cast<std::size_t>(index)];
        if (m_error)
            return 0;
        switch (node.Kind) {
        case NodeKind::Number:
            return node.Number;
        case NodeKind::Dice:
            return RollTerm(node, index);
        case NodeKind::Add:
            return Evaluate(node.Left) + Evaluate(node.Right);
        case NodeKind::Subtract:
            return Evaluate(node.Left) - Evaluate(node.Right);
        case NodeKind::Multiply:
            return Evaluate(node.Left) * Evaluate(node.Right);
        case NodeKind::Divide: {
            const double left = Evaluate(node.Left);
            const double right = Evaluate(node.Right);
            if (right == 0 && !m_error)
                m_error = NotationError { {}, {}, QStringLiteral("I can't divide by zero.") };
            return m_error ? 0 : left / right;
        }
        case NodeKind::Negate:
            return -Evaluate(node.Left);
        case NodeKind::Parens:
            return Evaluate(node.Left);
        case NodeKind::Floor:
            return std::floor(Evaluate(node.Left));
        case NodeKind::Ceil:
            return std::ceil(Evaluate(node.Left));
        case NodeKind::Round:
            return std::round(Evaluate(node.Left));
        case NodeKind::Abs:
            return std::abs(Evaluate(node.Left));
        case NodeKind::Group:
            return RollGroup(node);
        }
        return 0;
    }

    double RollGroup(const Node& node)
    {
        const RollRules& rules = node.GroupRules;
        std::vector<std::pair<double, int>> values;
        for (const int member : node.Members)
            values.emplace_back(Evaluate(member), member);
        ApplyKeep(rules, values, [this](int member) { NodeOf(member).Dropped = true; });
        m_outcome->Counting = m_outcome->Counting || rules.CountsSuccesses();
        double total = 0;
        for (const auto& [value, member] : values) {
            if (!NodeOf(member).Dropped)
                total += rules.CountsSuccesses() ? SuccessesOf(rules, value) : value;
        }
        return total;
    }

    int Face(const DiceTerm& term) { return term.Fudge ? m_faces.Roll(3) - 2 : m_faces.Roll(term.Sides); }

    bool Explodes(const DiceTerm& term, int face) const
    {
        const RollRules& rules = term.Rules;
        if (rules.Explode == Explosion::None)
            return false;
        return rules.ExplodeOn ? rules.ExplodeOn->Matches(face) : face == term.HighestFace();
    }

    // A die's first face, after its rerolls; the faces rerolled away go into dice first.
    std::optional<int> FirstFace(const DiceTerm& term, std::vector<RolledDie>& dice)
    {
        int face = Face(term);
        const std::optional<ComparePoint>& reroll = term.Rules.Reroll;
        for (int rerolls = 0; reroll && reroll->Matches(face); ++rerolls) {
            if (rerolls == MaxExplosionsPerDie) {
                m_error = NotationError { {}, {}, RerolledTooOften };
                return std::nullopt;
            }
            RolledDie away;
            away.Value = face;
            away.Rerolled = true;
            dice.push_back(away);
            face = Face(term);
            if (term.Rules.RerollOnce)
                break;
        }
        return face;
    }

    // One die with its rerolls and explosions.
    bool RollDie(const DiceTerm& term, std::vector<RolledDie>& dice)
    {
        const std::optional<int> first = FirstFace(term, dice);
        if (!first)
            return false;
        RolledDie die;
        die.Value = *first;
        const bool compounding = term.Rules.Explode == Explosion::Compounding;
        if (compounding)
            die.Chain.push_back(*first);
        int face = *first;
        for (int explosions = 0; Explodes(term, face); ++explosions) {
            if (explosions == MaxExplosionsPerDie) {
                m_error = NotationError { {}, {}, ExplodedTooOften };
                return false;
            }
            face = Face(term);
            if (compounding) {
                die.Chain.push_back(face);
                die.Value += face;
                continue;
            }
            dice.push_back(die);
            die = RolledDie {};
            die.Exploded = true;
            die.Value = term.Rules.Explode == Explosion::Penetrating ? face - 1 : face;
        }
        dice.push_back(std::move(die));
        return true;
    }

    double RollTerm(const Node& node, int index)
    {
        const DiceTerm& term = m_text.Dice[static_cast<std::size_t>(node.Dice)];
        const RollRules& rules = term.Rules;
        DiceOutcome outcome;
        outcome.Term = node.Dice;
        outcome.Dice.reserve(static_cast<std::size_t>(term.Count));
        for (int i = 0; i < term.Count; ++i) {
            if (!RollDie(term, outcome.Dice))
                return 0;
        }
        std::vector<std::pair<double, int>> values;
        if (rules.Kept != Keep::All) {
            for (std::size_t i = 0; i < outcome.Dice.size(); ++i) {
                if (!outcome.Dice[i].Rerolled)
                    values.emplace_back(outcome.Dice[i].Value, static_cast<int>(i));
            }
        }
        ApplyKeep(rules, std::move(values),
            [&outcome](int i) { outcome.Dice[static_cast<std::size_t>(i)].Dropped = true; });
        const bool counting = rules.CountsSuccesses();
        m_outcome->Counting = m_outcome->Counting || counting;
        for (RolledDie& die : outcome.Dice) {
            if (die.Dropped || die.Rerolled)
                continue;
            die.Successes = counting ? SuccessesOf(rules, die.Value) : 0;
            outcome.Total += counting ? die.Successes : die.Value;
        }
        const double total = outcome.Total;
        m_outcome->Dice.push_back(std::move(outcome));
        NodeOf(index).Dice = static_cast<int>(m_outcome->Dice.size()) - 1;
        return total;
    }

    const RollText& m_text;
    FaceSource& m_faces;
    RollOutcome* m_outcome = nullptr;
    std::optional<NotationError> m_error;
};

} // namespace

std::variant<std::vector<RollOutcome>, NotationError> RollNotation(const RollText& text, FaceSource& faces)
{
    return Roller(text, faces).Run();
}

} // namespace dice

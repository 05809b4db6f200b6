#include "dice/notationparser.h"

#include <algorithm>
#include <iterator>

namespace dice {

namespace {

constexpr int MaxNumber = 999999999;
constexpr qsizetype MaxShownWord = 40;

char16_t Lower(QChar c)
{
    const char16_t u = c.unicode();
    return u >= u'A' && u <= u'Z' ? char16_t(u + (u'a' - u'A')) : u;
}

bool IsDigit(QChar c)
{
    return c >= u'0' && c <= u'9';
}

bool IsLetter(QChar c)
{
    const char16_t l = Lower(c);
    return l >= u'a' && l <= u'z';
}

bool IsBlank(QChar c)
{
    return c == u' ' || c == u'\t';
}

bool Is(QStringView word, const char* name)
{
    return word.compare(QLatin1String(name), Qt::CaseInsensitive) == 0;
}

bool StartsPoint(QChar c)
{
    return c == u'<' || c == u'>' || c == u'=' || IsDigit(c);
}

const QString TooManyDice = QStringLiteral("I roll at most 1,000 dice at once.");

// A recursive-descent reader over the text. The first failure is kept and every later step gives up, so
// the error names the first place that could not be read.
class Parser {
public:
    Parser(const QString& text, bool allowComment)
        : m_text(text)
        , m_allowComment(allowComment)
    {
        m_out.Source = text;
    }

    std::variant<RollText, NotationError> Run()
    {
        if (m_text.size() > MaxNotationChars)
            return NotationError { {}, {},
                QStringLiteral("that roll is too long: I read at most 500 characters.") };
        if (m_text.trimmed().isEmpty())
            return NotationError { {}, {}, QStringLiteral("tell me what to roll, for example 4d6kh3.") };
        qsizetype dice = 0;
        for (;;) {
            SkipBlanks();
            m_rollStart = m_pos;
            RollPlan plan;
            if (!ReadRepeats(plan))
                return *m_error;
            m_diceInRoll = 0;
            plan.FirstNode = static_cast<int>(m_out.Nodes.size());
            plan.Root = ParseSum();
            if (m_error)
                return *m_error;
            dice += m_diceInRoll * plan.Repeats;
            if (dice > MaxNotationDice)
                return NotationError { {}, {}, TooManyDice };
            m_out.Rolls.push_back(plan);
            const qsizetype afterRoll = m_pos;
            SkipBlanks();
            if (Peek() == u';') {
                ++m_pos;
                continue;
            }
            if (AtEnd())
                break;
            if (m_allowComment && m_pos > afterRoll) {
                m_out.Comment = m_text.mid(m_pos);
                break;
            }
            Fail(m_pos,
                m_allowComment ? "an operator (+ - * /), \";\" or a blank before a comment should come here."
                               : "an operator (+ - * /) or \";\" should come here.");
            return *m_error;
        }
        return std::move(m_out);
    }

private:
    QChar Peek(qsizetype ahead = 0) const
    {
        return m_pos + ahead < m_text.size() ? m_text.at(m_pos + ahead) : QChar();
    }

    bool AtEnd() const { return m_pos >= m_text.size(); }

    void SkipBlanks()
    {
        while (!AtEnd() && IsBlank(m_text.at(m_pos)))
            ++m_pos;
    }

    // Takes one of the operators after optional blanks; without one, the blanks stay unread so that a
    // comment can be told from the roll.
    std::optional<char16_t> TakeOperator(std::u16string_view operators)
    {
        const qsizetype before = m_pos;
        SkipBlanks();
        if (!AtEnd() && operators.find(m_text.at(m_pos).unicode()) != std::u16string_view::npos)
            return m_text.at(m_pos++).unicode();
        m_pos = before;
        return std::nullopt;
    }

    int Fail(qsizetype at, const char* why)
    {
        if (!m_error)
            m_error = NotationError { ShownWord(at), TokenAt(at), QString::fromUtf8(why) };
        return -1;
    }

    bool Reject(qsizetype at, const char* why)
    {
        Fail(at, why);
        return false;
    }

    int Refuse(const QString& why)
    {
        if (!m_error)
            m_error = NotationError { {}, {}, why };
        return -1;
    }

    // The roll up to the end of the word holding position at, as the user typed it.
    QString ShownWord(qsizetype at) const
    {
        qsizetype end = at;
        while (end < m_text.size() && !IsBlank(m_text.at(end)))
            ++end;
        const QString word = m_text.mid(m_rollStart, end - m_rollStart).trimmed();
        return word.size() <= MaxShownWord ? word : QStringLiteral("...") + word.right(MaxShownWord - 3);
    }

    // The letters, the digits or the one character at position at; empty at the end.
    QString TokenAt(qsizetype at) const
    {
        if (at >= m_text.size())
            return {};
        const auto runOf = [this, at](bool (*member)(QChar)) {
            qsizetype end = at;
            while (end < m_text.size() && member(m_text.at(end)))
                ++end;
            return m_text.mid(at, end - at);
        };
        const QChar c = m_text.at(at);
        if (IsLetter(c))
            return runOf(IsLetter);
        if (IsDigit(c))
            return runOf(IsDigit);
        const bool pair = c.isHighSurrogate() && at + 1 < m_text.size() && m_text.at(at + 1).isLowSurrogate();
        return m_text.mid(at, pair ? 2 : 1);
    }

    std::optional<int> ReadNumber()
    {
        const qsizetype start = m_pos;
        qint64 value = 0;
        while (!AtEnd() && IsDigit(m_text.at(m_pos))) {
            value = value * 10 + (m_text.at(m_pos++).unicode() - u'0');
            if (value > MaxNumber) {
                Fail(start, "that number is too large.");
                return std::nullopt;
            }
        }
        return static_cast<int>(value);
    }

    // The run of letters at the position; compared without case.
    QStringView Letters()
    {
        const qsizetype start = m_pos;
        while (!AtEnd() && IsLetter(m_text.at(m_pos)))
            ++m_pos;
        return QStringView(m_text).mid(start, m_pos - start);
    }

    int Add(Node node)
    {
        node.End = m_pos;
        m_out.Nodes.push_back(std::move(node));
        return static_cast<int>(m_out.Nodes.size()) - 1;
    }

    int AddUnary(NodeKind kind, int operand, qsizetype start)
    {
        Node node;
        node.Kind = kind;
        node.Left = operand;
        node.Start = start;
        return Add(std::move(node));
    }

    // "3#" before a roll.
    bool ReadRepeats(RollPlan& plan)
    {
        qsizetype digits = m_pos;
        while (digits < m_text.size() && IsDigit(m_text.at(digits)))
            ++digits;
        if (digits == m_pos || digits >= m_text.size() || m_text.at(digits) != u'#')
            return true;
        const qsizetype start = m_pos;
        const std::optional<int> repeats = ReadNumber();
        if (!repeats)
            return false;
        if (*repeats < 1 || *repeats > MaxNotationRepeats) {
            Fail(start, "a roll is repeated 1 to 20 times.");
            return false;
        }
        plan.Repeats = *repeats;
        ++m_pos;
        return true;
    }

    int ParseSum()
    {
        const qsizetype start = m_pos;
        int left = ParseProduct();
        while (left >= 0) {
            const std::optional<char16_t> op = TakeOperator(u"+-");
            if (!op)
                break;
            const int right = ParseProduct();
            if (right < 0)
                return -1;
            left = AddBinary(*op == u'+' ? NodeKind::Add : NodeKind::Subtract, left, right, start);
        }
        return left;
    }

    int ParseProduct()
    {
        const qsizetype start = m_pos;
        int left = ParseUnary();
        while (left >= 0) {
            const std::optional<char16_t> op = TakeOperator(u"*/");
            if (!op)
                break;
            const int right = ParseUnary();
            if (right < 0)
                return -1;
            left = AddBinary(*op == u'*' ? NodeKind::Multiply : NodeKind::Divide, left, right, start);
        }
        return left;
    }

    int AddBinary(NodeKind kind, int left, int right, qsizetype start)
    {
        Node node;
        node.Kind = kind;
        node.Left = left;
        node.Right = right;
        node.Start = start;
        return Add(std::move(node));
    }

    int ParseUnary()
    {
        SkipBlanks();
        const qsizetype start = m_pos;
        if (Peek() == u'-' || Peek() == u'+') {
            const bool negate = Peek() == u'-';
            ++m_pos;
            const int operand = ParseUnary();
            if (operand < 0 || !negate)
                return operand;
            return AddUnary(NodeKind::Negate, operand, start);
        }
        return ParsePrimary();
    }

    int ParsePrimary()
    {
        const qsizetype start = m_pos;
        const QChar c = Peek();
        if (c == u'(') {
            ++m_pos;
            return CloseParens(NodeKind::Parens, start);
        }
        if (c == u'{')
            return ParseGroup(start);
        if (IsDigit(c)) {
            const std::optional<int> number = ReadNumber();
            if (!number)
                return -1;
            if (Lower(Peek()) == u'd')
                return ParseDice(start, *number);
            Node node;
            node.Number = *number;
            node.Start = start;
            return Add(std::move(node));
        }
        if (Lower(c) == u'd')
            return ParseDice(start, 1);
        if (IsLetter(c))
            return ParseFunction(start);
        return Fail(start, "a number, dice or \"(\" should come here.");
    }

    int ParseFunction(qsizetype start)
    {
        const QStringView name = Letters();
        NodeKind kind;
        if (Is(name, "floor"))
            kind = NodeKind::Floor;
        else if (Is(name, "ceil"))
            kind = NodeKind::Ceil;
        else if (Is(name, "round"))
            kind = NodeKind::Round;
        else if (Is(name, "abs"))
            kind = NodeKind::Abs;
        else
            return Fail(
                start, "a number, dice, \"(\" or a function (floor, ceil, round, abs) should come here.");
        SkipBlanks();
        if (Peek() != u'(')
            return Fail(m_pos, "a \"(\" should follow the function's name.");
        ++m_pos;
        return CloseParens(kind, start);
    }

    // The sum inside a "(" just read, and its ")".
    int CloseParens(NodeKind kind, qsizetype start)
    {
        const int inner = ParseSum();
        if (inner < 0)
            return -1;
        SkipBlanks();
        if (Peek() != u')')
            return Fail(m_pos, "a \")\" should close the \"(\" here.");
        ++m_pos;
        return AddUnary(kind, inner, start);
    }

    int ParseGroup(qsizetype start)
    {
        ++m_pos;
        Node node;
        node.Kind = NodeKind::Group;
        node.Start = start;
        for (;;) {
            const int member = ParseSum();
            if (member < 0)
                return -1;
            node.Members.push_back(member);
            SkipBlanks();
            if (Peek() == u',') {
                ++m_pos;
                continue;
            }
            if (Peek() == u'}') {
                ++m_pos;
                break;
            }
            return Fail(m_pos, "a \",\" or \"}\" should come here.");
        }
        if (!ParseRules(node.GroupRules, nullptr))
            return -1;
        return Add(std::move(node));
    }

    int ParseDice(qsizetype start, int count)
    {
        if (count < 1)
            return Fail(start, "a roll needs at least one die.");
        if (count > MaxNotationDice)
            return Refuse(TooManyDice);
        ++m_pos;
        DiceTerm term;
        term.Count = count;
        const QChar c = Peek();
        if (IsDigit(c)) {
            const qsizetype sidesAt = m_pos;
            const std::optional<int> sides = ReadNumber();
            if (!sides)
                return -1;
            if (*sides < 1 || *sides > MaxNotationSides)
                return Fail(sidesAt, "dice have 1 to 10000 sides.");
            term.Sides = *sides;
        } else if (c == u'%') {
            ++m_pos;
            term.Sides = 100;
        } else if (Lower(c) == u'f') {
            ++m_pos;
            term.Fudge = true;
            term.Sides = 3;
        } else {
            return Fail(m_pos, "the number of sides, \"%\" or \"F\" should follow the \"d\".");
        }
        if (!ParseRules(term.Rules, &term))
            return -1;
        m_diceInRoll += count;
        m_out.Dice.push_back(term);
        Node node;
        node.Kind = NodeKind::Dice;
        node.Dice = static_cast<int>(m_out.Dice.size()) - 1;
        node.Start = start;
        return Add(std::move(node));
    }

    std::optional<ComparePoint> ParsePoint()
    {
        ComparePoint point;
        if (Peek() == u'>' || Peek() == u'<') {
            const bool greater = Peek() == u'>';
            ++m_pos;
            const bool orEqual = Peek() == u'=';
            if (orEqual)
                ++m_pos;
            point.How = greater ? (orEqual ? Comparison::GreaterEqual : Comparison::Greater)
                                : (orEqual ? Comparison::LessEqual : Comparison::Less);
        } else if (Peek() == u'=') {
            ++m_pos;
        }
        // Fudge dice compare with negative faces: "<=-1".
        const bool negative = Peek() == u'-' && IsDigit(Peek(1));
        if (negative)
            ++m_pos;
        if (!IsDigit(Peek())) {
            Fail(m_pos, "a number should come here.");
            return std::nullopt;
        }
        const std::optional<int> value = ReadNumber();
        if (!value)
            return std::nullopt;
        point.Value = negative ? -*value : *value;
        return point;
    }

    // The modifiers after a dice term (term set) or a group (term null), up to the first character that
    // is none.
    bool ParseRules(RollRules& rules, const DiceTerm* term)
    {
        for (;;) {
            const qsizetype at = m_pos;
            const QChar c = Peek();
            if (c == u'!') {
                if (!ParseExplosion(rules, term))
                    return false;
            } else if (c == u'<' || c == u'>' || c == u'=') {
                if (rules.Success) {
                    Fail(at, "a roll counts successes by one rule only.");
                    return false;
                }
                if (!(rules.Success = ParsePoint()))
                    return false;
            } else if (IsLetter(c)) {
                if (!ParseLetterRule(rules, term))
                    return false;
            } else {
                return true;
            }
        }
    }

    bool ParseExplosion(RollRules& rules, const DiceTerm* term)
    {
        const qsizetype at = m_pos;
        if (!term)
            return Reject(at, "a group does not explode; explode the dice inside it.");
        if (rules.Explode != Explosion::None)
            return Reject(at, "dice explode by one rule only.");
        ++m_pos;
        rules.Explode = Explosion::Standard;
        if (Peek() == u'!') {
            ++m_pos;
            rules.Explode = Explosion::Compounding;
        } else if (Lower(Peek()) == u'p') {
            ++m_pos;
            rules.Explode = Explosion::Penetrating;
        }
        if (StartsPoint(Peek()) && !(rules.ExplodeOn = ParsePoint()))
            return false;
        const ComparePoint on
            = rules.ExplodeOn.value_or(ComparePoint { Comparison::Equal, term->HighestFace() });
        if (on.CoversAll(term->LowestFace(), term->HighestFace()))
            return Reject(at, "every face would explode, so the roll would never end.");
        return true;
    }

    bool ParseLetterRule(RollRules& rules, const DiceTerm* term)
    {
        const qsizetype at = m_pos;
        const QStringView word = Letters();
        static const std::pair<const char*, Keep> keeps[]
            = { { "k", Keep::Highest }, { "kh", Keep::Highest }, { "kl", Keep::Lowest },
                  { "d", Keep::DropLowest }, { "dl", Keep::DropLowest }, { "dh", Keep::DropHighest } };
        const auto keep = std::find_if(
            std::begin(keeps), std::end(keeps), [word](const auto& row) { return Is(word, row.first); });
        if (keep != std::end(keeps)) {
            if (rules.Kept != Keep::All)
                return Reject(at, "a roll keeps or drops by one rule only.");
            rules.Kept = keep->second;
            std::optional<int> count = 1;
            if (IsDigit(Peek()) && !(count = ReadNumber()))
                return false;
            rules.KeepCount = *count;
            return true;
        }
        if (Is(word, "r") || Is(word, "ro")) {
            if (!term)
                return Reject(at, "a group does not reroll; reroll the dice inside it.");
            if (rules.Reroll)
                return Reject(at, "dice reroll by one rule only.");
            rules.RerollOnce = word.size() == 2;
            if (!(rules.Reroll = ParsePoint()))
                return false;
            if (!rules.RerollOnce && rules.Reroll->CoversAll(term->LowestFace(), term->HighestFace()))
                return Reject(at, "every face would be rerolled, so the roll would never end.");
            return true;
        }
        std::optional<ComparePoint>* point = Is(word, "f") ? &rules.Failure
            : Is(word, "dbl")                              ? &rules.Double
                                                           : nullptr;
        if (!point)
            return Reject(at, "that is no dice modifier (kh kl dh dl r ro ! !! !p >= f dbl).");
        if (*point)
            return Reject(at, "that rule is given twice.");
        return (*point = ParsePoint()).has_value();
    }

    const QString& m_text;
    const bool m_allowComment;
    qsizetype m_pos = 0;
    qsizetype m_rollStart = 0;
    qsizetype m_diceInRoll = 0;
    RollText m_out;
    std::optional<NotationError> m_error;
};

} // namespace

std::variant<RollText, NotationError> ParseNotation(const QString& text, bool allowComment)
{
    return Parser(text, allowComment).Run();
}

} // namespace dice

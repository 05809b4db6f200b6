#include "dice/expression.h"

#include "common/parseinteger.h"
#include "dice/randomsource.h"
#include "dice/rollerror.h"
#include "dice/rolltext.h"

#include <QList>
#include <QLocale>
#include <cmath>
#include <optional>

namespace dice {

namespace {

bool IsOperator(QChar c)
{
    return c == u'+' || c == u'-' || c == u'*' || c == u'/';
}

// One piece of an expression after the dice are rolled: a value or an operator, or a parenthesis.
struct Token {
    enum Kind { Number, Operator, Open, Close };
    Kind Type;
    double Value = 0;
    QChar Op;

    static Token Of(double value) { return { Number, value, QChar() }; }
    static Token Of(Kind kind, QChar op = QChar()) { return { kind, 0, op }; }
};

// An expression split at its operators. Users write operators loosely, so an operator at the very start
// or right after another operator is skipped ("-3" is 3, "2*-3" is 6). A field is what stands between
// two operators and may be empty.
template <typename Piece> struct Fields {
    QList<QList<Piece>> Items;
    QString Ops;
};

template <typename Piece, typename OperatorOf>
Fields<Piece> SplitAtOperators(const QList<Piece>& pieces, OperatorOf operatorOf)
{
    Fields<Piece> result;
    QList<Piece> current;
    bool afterOperator = true;
    for (const Piece& piece : pieces) {
        const QChar op = operatorOf(piece);
        if (op.isNull()) {
            current.append(piece);
            afterOperator = false;
        } else if (!afterOperator) {
            result.Items.append(current);
            current.clear();
            result.Ops.append(op);
            afterOperator = true;
        }
    }
    result.Items.append(current);
    return result;
}

// As SplitAtOperators, after dealing with a trailing operator: it is dropped when at least two fields
// stand before it ("2+3+" is 5, "3d6++" is 3d6 plus an empty field); after a single field it is an error.
// An empty expression is an error too.
template <typename Piece, typename OperatorOf>
std::optional<Fields<Piece>> SplitFlat(QList<Piece> pieces, OperatorOf operatorOf)
{
    if (pieces.isEmpty())
        return std::nullopt;
    if (!operatorOf(pieces.last()).isNull()) {
        pieces.removeLast();
        if (SplitAtOperators(pieces, operatorOf).Items.size() < 2)
            return std::nullopt;
    }
    return SplitAtOperators(pieces, operatorOf);
}

// Applies the operators: while more than one value remains, the rightmost "*" or "/" goes first, and
// without one the leftmost operator.
std::optional<double> Combine(QList<double> values, QString ops)
{
    while (!ops.isEmpty()) {
        qsizetype at = -1;
        for (qsizetype i = ops.size() - 1; i >= 0 && at < 0; --i) {
            if (ops[i] == u'*' || ops[i] == u'/')
                at = i;
        }
        if (at < 0)
            at = 0;
        const double left = values[at];
        const double right = values[at + 1];
        double result = 0;
        switch (ops[at].unicode()) {
        case u'+':
            result = left + right;
            break;
        case u'-':
            result = left - right;
            break;
        case u'*':
            result = left * right;
            break;
        default:
            if (right == 0)
                return std::nullopt;
            result = left / right;
            break;
        }
        if (!std::isfinite(result))
            return std::nullopt;
        values[at] = result;
        values.removeAt(at + 1);
        ops.remove(at, 1);
    }
    return values.first();
}

PoolResult Failed(int error)
{
    PoolResult result;
    result.Error = error;
    return result;
}

QChar CharOperator(QChar c)
{
    return IsOperator(c) ? c : QChar();
}

QChar TokenOperator(const Token& token)
{
    return token.Type == Token::Operator ? token.Op : QChar();
}

// Evaluates numbers and operators (the inside of a group, or what is left once all groups are gone).
std::optional<double> EvaluateTokens(const QList<Token>& tokens, bool* single)
{
    const std::optional<Fields<Token>> split = SplitFlat(tokens, TokenOperator);
    if (!split)
        return std::nullopt;
    QList<double> values;
    for (const QList<Token>& field : split->Items) {
        if (field.size() > 1) // two values with no operator between them, as in "(1)(2)"
            return std::nullopt;
        values.append(field.isEmpty() ? 0.0 : field.first().Value);
    }
    if (single)
        *single = split->Ops.isEmpty();
    return Combine(values, split->Ops);
}

double RoundToCents(double value)
{
    return std::round(value * 100) / 100;
}

} // namespace

TermResult RollTerm(const QString& term, int drop, int targetNumber)
{
    TermResult result;
    const qsizetype d = term.indexOf(u'd');
    if (d < 0) {
        const std::optional<double> number = ParseConstant(term);
        if (!number) {
            if (StripSpaces(term).isEmpty())
                result.Display = QStringLiteral("0");
            else
                result.Error = NoDieInTerm;
            return result;
        }
        if (!std::isfinite(*number)) {
            result.Error = BadParameters;
            return result;
        }
        result.Value = *number;
        result.Display = FormatReal(*number);
        return result;
    }

    const std::optional<int> count
        = d == 0 ? std::optional<int>(1) : common::ParseInteger(QStringView(term).left(d));
    const std::optional<int> sides = common::ParseInteger(QStringView(term).mid(d + 1, 5));
    if (!count)
        result.Error = DiceCountNotInteger;
    else if (!sides)
        result.Error = SidesNotInteger;
    else if (*count < 1)
        result.Error = DiceCountTooLow;
    else if (*count > MaxDice)
        result.Error = DiceCountTooHigh;
    else if (*sides < 0)
        result.Error = SidesTooLow;
    else if (*sides > MaxSides)
        result.Error = SidesTooHigh;
    else if (*count <= drop)
        result.Error = DroppingTooMany;
    if (result.Error != NoError)
        return result;

    RandomizeGenerator();
    const bool countHits = targetNumber >= 1;
    // The lowest faces so far; a slot starts above any face so that the first faces always fill it.
    QList<int> slots(drop > 0 ? drop : 0, *sides + 1);
    QString faces;
    long long sum = 0;
    for (int i = 0; i < *count; ++i) {
        const int face = RandomBelow(*sides) + 1;
        sum += face;
        if (i > 0)
            faces += u',';
        faces += QString::number(face);
        if (countHits && face >= targetNumber)
            ++result.Hits;
        if (!slots.isEmpty()) {
            qsizetype highest = 0;
            for (qsizetype s = 1; s < slots.size(); ++s) {
                if (slots[s] > slots[highest])
                    highest = s;
            }
            if (face < slots[highest])
                slots[highest] = face;
        }
    }
    QString dropped;
    for (qsizetype s = 0; s < slots.size(); ++s) {
        sum -= slots[s];
        if (countHits && slots[s] >= targetNumber)
            --result.Hits;
        dropped += (s > 0 ? QStringLiteral(",") : QString()) + QString::number(slots[s]);
    }
    result.Hits = std::max(result.Hits, 0);
    result.Value = static_cast<double>(sum);

    result.Display = FormatReal(result.Value) + u'[';
    if (countHits)
        result.Display += QStringLiteral("<h:") + QString::number(result.Hits) + u'>';
    result.Display += faces;
    if (!slots.isEmpty())
        result.Display += QStringLiteral("<dr:") + dropped + u'>';
    result.Display += u']';
    return result;
}

PoolResult EvaluateFlatExpression(const QString& expression, int drop, int targetNumber)
{
    const std::optional<Fields<QChar>> split
        = SplitFlat(QList<QChar>(expression.begin(), expression.end()), CharOperator);
    if (!split)
        return Failed(BadParameters);

    PoolResult pool;
    QList<double> values;
    for (qsizetype i = 0; i < split->Items.size(); ++i) {
        const QList<QChar>& field = split->Items[i];
        const TermResult term = RollTerm(QString(field.constData(), field.size()), drop, targetNumber);
        if (term.Error != NoError)
            return Failed(term.Error);
        if (i > 0) {
            pool.Values += split->Ops[i - 1];
            pool.Dice += split->Ops[i - 1];
        }
        pool.Values += FormatReal(term.Value);
        pool.Dice += term.Display;
        pool.Hits += term.Hits;
        values.append(term.Value);
    }
    pool.SingleTerm = split->Ops.isEmpty();
    const std::optional<double> total = Combine(values, split->Ops);
    if (!total)
        return Failed(BadParameters);
    pool.Total = *total;
    return pool;
}

PoolResult EvaluateExpression(const QString& expression, int drop, int targetNumber)
{
    if (expression.count(u'(') != expression.count(u')'))
        return Failed(UnbalancedParentheses);
    if (!expression.contains(u'('))
        return EvaluateFlatExpression(expression, drop, targetNumber);

    // First pass: roll every term where it stands, keeping the layout of operators and parentheses.
    PoolResult pool;
    QList<Token> tokens;
    QString term;
    const auto rollPending = [&]() -> bool {
        if (term.isEmpty())
            return true;
        const TermResult rolled = RollTerm(term, drop, targetNumber);
        term.clear();
        if (rolled.Error != NoError) {
            pool.Error = rolled.Error;
            return false;
        }
        const QString shown = FormatReal(rolled.Value);
        pool.Values += shown;
        pool.Dice += rolled.Display;
        pool.Hits += rolled.Hits;
        // Later passes work on the values as shown, two decimals at most.
        tokens.append(Token::Of(QLocale::c().toDouble(shown)));
        return true;
    };
    for (const QChar c : expression) {
        if (!IsOperator(c) && c != u'(' && c != u')') {
            term += c;
            continue;
        }
        if (!rollPending())
            return Failed(pool.Error);
        pool.Values += c;
        pool.Dice += c;
        if (c == u'(')
            tokens.append(Token::Of(Token::Open));
        else if (c == u')')
            tokens.append(Token::Of(Token::Close));
        else
            tokens.append(Token::Of(Token::Operator, c));
    }
    if (!rollPending())
        return Failed(pool.Error);

    // Second pass: replace the innermost group by its value, rounded to two decimals, until none is left.
    for (;;) {
        qsizetype open = -1;
        for (qsizetype i = tokens.size() - 1; i >= 0 && open < 0; --i) {
            if (tokens[i].Type == Token::Open)
                open = i;
        }
        if (open < 0)
            break;
        qsizetype close = open + 1;
        while (close < tokens.size() && tokens[close].Type != Token::Close)
            ++close;
        if (close == tokens.size())
            return Failed(BadParameters);
        const std::optional<double> value = EvaluateTokens(tokens.mid(open + 1, close - open - 1), nullptr);
        if (!value)
            return Failed(BadParameters);
        tokens.remove(open, close - open + 1);
        tokens.insert(open, Token::Of(RoundToCents(*value)));
    }
    const std::optional<double> total = EvaluateTokens(tokens, &pool.SingleTerm);
    if (!total)
        return Failed(BadParameters);
    pool.Total = *total;
    return pool;
}

} // namespace dice

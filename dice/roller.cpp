#include "dice/roller.h"

#include "common/parseinteger.h"
#include "dice/expression.h"
#include "dice/rollerror.h"
#include "dice/rolltext.h"

#include <QStringList>
#include <cmath>

namespace dice {

namespace {

struct RollOptions {
    int Drop = 0;
    int TargetNumber = 0;
    bool Full = false;
    bool Short = false;
    QString Comment;
    int Error = NoError; // 13 or 14: reported only when nothing later fails
};

// Reads the words after the first space. The first word that is no option starts the comment, which
// then runs to the end of the text.
RollOptions ReadOptions(const QString& text)
{
    RollOptions options;
    const qsizetype space = text.indexOf(u' ');
    if (space < 0)
        return options;
    const QString rest = text.mid(space + 1);
    const QStringList words = rest.split(u' ');
    const auto nextNumber = [&words](qsizetype i) {
        return i + 1 < words.size() ? common::ParseInteger(words[i + 1]) : std::nullopt;
    };
    qsizetype start = 0; // where words[i] starts in rest
    for (qsizetype i = 0; i < words.size(); start += words[i].size() + 1, ++i) {
        const QString& word = words[i];
        if (word == QLatin1String("droplow")) {
            const std::optional<int> drop = nextNumber(i);
            options.Drop = drop.value_or(1);
            if (drop)
                start += words[i++].size() + 1;
        } else if (word == QLatin1String("short") || word == QLatin1String("s")) {
            options.Short = true;
        } else if (word == QLatin1String("full") || word == QLatin1String("f")) {
            options.Full = true;
        } else if (word == QLatin1String("tn") || word == QLatin1String("vs")) {
            // The last target number decides both the value and the error: an earlier one's complaint
            // does not outlive it.
            const std::optional<int> target = nextNumber(i);
            if (i + 1 < words.size())
                start += words[i++].size() + 1;
            options.TargetNumber = target && *target >= 2 ? *target : 0;
            options.Error = !target ? MissingTargetNumber : *target < 2 ? TargetNumberTooLow : NoError;
        } else {
            options.Comment = LeftWhole(rest.mid(start), MaxRollTextChars);
            break;
        }
    }
    return options;
}

QString Bolded(const QString& text)
{
    return Bold + text + Bold;
}

// The text of one evaluated pool in the display form the options ask for.
QString PoolText(const PoolResult& pool, const RollOptions& options)
{
    const bool withTarget = options.TargetNumber >= 1;
    const QString total = StripSpaces(FormatReal(pool.Total));
    const QString hits = QString::number(pool.Hits);
    const QString values = StripSpaces(pool.Values);
    QString dice = StripSpaces(pool.Dice);
    const QString summary
        = withTarget ? QStringLiteral("<h:") + Bolded(hits) + u'>' + Bolded(total) : Bolded(total);
    // Only a bare term shows its total by itself; values that still hold a group, such as "(8+3)", need
    // the total in front as an expression with operators has it.
    const bool bareTerm = pool.SingleTerm && !values.contains(u'(');
    if (bareTerm && dice.contains(u'[')) {
        const qsizetype bracket = dice.indexOf(u'[');
        dice = Bolded(dice.left(bracket)) + dice.mid(bracket);
    }
    if (options.Full)
        return bareTerm ? dice : summary + u':' + dice;
    if (options.Short)
        return summary;
    if (!bareTerm)
        return summary + u':' + values;
    return withTarget ? QStringLiteral("<h:") + hits + u'>' + values : values;
}

RollResult Failure(int error)
{
    return { {}, {}, error };
}

RollResult EvaluateCapped(const QString& text)
{
    const RollOptions options = ReadOptions(text);
    if (options.Full && options.Short)
        return Failure(ShortAndFull);

    const qsizetype space = text.indexOf(u' ');
    const qsizetype semicolon = text.indexOf(u';');
    if (semicolon >= 0 && (space < 0 || semicolon < space)) {
        const QString optionPart = space < 0 ? QString() : text.mid(space);
        const qsizetype restEnd = space < 0 ? text.size() : space;
        const RollResult first = EvaluateCapped(text.left(semicolon) + optionPart);
        const RollResult second
            = EvaluateCapped(text.mid(semicolon + 1, restEnd - semicolon - 1) + optionPart);
        return { first.Text + QStringLiteral("; ") + second.Text, first.Comment,
            std::max(first.Error, second.Error) };
    }

    const QString poolText = space < 0 ? text : text.left(space);
    const qsizetype hash = poolText.indexOf(u'#');
    int repeats = 1;
    QString expression = poolText;
    if (hash >= 0) {
        const PoolResult repeat = EvaluateExpression(poolText.left(hash), 0, options.TargetNumber);
        if (repeat.Error != NoError)
            return Failure(repeat.Error);
        const double count = std::trunc(repeat.Total);
        if (count < 1)
            return Failure(RepeatsTooLow);
        if (count > MaxRepeats)
            return Failure(RepeatsTooHigh);
        repeats = static_cast<int>(count);
        expression = poolText.mid(hash + 1);
    }

    RollResult result { {}, options.Comment, options.Error };
    for (int i = 0; i < repeats; ++i) {
        const PoolResult pool = EvaluateExpression(expression, options.Drop, options.TargetNumber);
        if (pool.Error != NoError)
            return Failure(pool.Error);
        if (i > 0)
            result.Text += u';';
        result.Text += PoolText(pool, options);
    }
    return result;
}

} // namespace

RollResult EvaluateRoll(const QString& text)
{
    return EvaluateCapped(LeftWhole(text, MaxRollTextChars));
}

} // namespace dice

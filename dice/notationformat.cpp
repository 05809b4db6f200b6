#include "dice/notationformat.h"

#include "dice/roller.h"

#include <cmath>

namespace dice {

namespace {

enum class Detail { Faces, Summary };

// Whole numbers plainly, anything else with up to two decimals: "14", "-3", "3.5", "0.33".
QString FormatNumber(double value)
{
    const double rounded = std::round(value * 100) / 100;
    if (rounded == std::trunc(rounded))
        return QString::number(static_cast<qint64>(rounded));
    QString text = QString::number(rounded, 'f', 2);
    while (text.endsWith(u'0'))
        text.chop(1);
    return text;
}

QString TotalText(const RollOutcome& roll)
{
    QString total = FormatNumber(roll.Total);
    if (roll.Counting)
        total += roll.Total == 1 ? QStringLiteral(" success") : QStringLiteral(" successes");
    return Bold + total + Bold;
}

QString StruckUnless(bool struck, const QString& text)
{
    return struck ? text : Strike + text + Strike;
}

QString FaceText(const DiceTerm& term, const RolledDie& die)
{
    if (!die.Chain.empty()) {
        QString chain;
        for (const int face : die.Chain) {
            if (!chain.isEmpty())
                chain += u'!';
            chain += QString::number(face);
        }
        return chain;
    }
    if (term.Fudge)
        return die.Value > 0 ? QStringLiteral("+")
            : die.Value < 0  ? QStringLiteral("-")
                             : QStringLiteral("0");
    return QString::number(die.Value);
}

class Formatter {
public:
    Formatter(const RollText& text, const RollOutcome& roll, Detail detail)
        : m_text(text)
        , m_roll(roll)
        , m_detail(detail)
    {
    }

    // insideStruck: the node is part of a dropped group member, which is struck through as a whole.
    QString Show(int index, bool insideStruck = false)
    {
        const Node& node = m_text.Nodes[static_cast<std::size_t>(index)];
        switch (node.Kind) {
        case NodeKind::Number:
            return m_text.TextOf(node).toString();
        case NodeKind::Dice:
            return m_text.TextOf(node).toString() + QStringLiteral(" [")
                + Faces(m_roll.NodeAt(m_text, index), insideStruck) + u']';
        case NodeKind::Add:
            return Binary(node, " + ", insideStruck);
        case NodeKind::Subtract:
            return Binary(node, " - ", insideStruck);
        case NodeKind::Multiply:
            return Binary(node, " * ", insideStruck);
        case NodeKind::Divide:
            return Binary(node, " / ", insideStruck);
        case NodeKind::Negate:
            return u'-' + Show(node.Left, insideStruck);
        case NodeKind::Parens:
            return u'(' + Show(node.Left, insideStruck) + u')';
        case NodeKind::Floor:
        case NodeKind::Ceil:
        case NodeKind::Round:
        case NodeKind::Abs: {
            const QStringView text = m_text.TextOf(node);
            return text.left(text.indexOf(u'(') + 1).toString() + Show(node.Left, insideStruck) + u')';
        }
        case NodeKind::Group:
            return Group(node, insideStruck);
        }
        return {};
    }

private:
    QString Binary(const Node& node, const char* op, bool insideStruck)
    {
        return Show(node.Left, insideStruck) + QLatin1String(op) + Show(node.Right, insideStruck);
    }

    QString Group(const Node& node, bool insideStruck)
    {
        QString shown = QStringLiteral("{");
        for (const int member : node.Members) {
            if (shown.size() > 1)
                shown += QStringLiteral(", ");
            const bool dropped = m_roll.NodeAt(m_text, member).Dropped && !insideStruck;
            const QString text = Show(member, insideStruck || dropped);
            shown += dropped ? Strike + text + Strike : text;
        }
        // The group's rules as typed follow its closing brace.
        const QStringView text = m_text.TextOf(node);
        return shown + text.mid(text.lastIndexOf(u'}')).toString();
    }

    QString Faces(const NodeOutcome& node, bool insideStruck)
    {
        const DiceOutcome& dice = m_roll.Dice[static_cast<std::size_t>(node.Dice)];
        const DiceTerm& term = m_text.Dice[static_cast<std::size_t>(dice.Term)];
        if (m_detail == Detail::Summary) {
            const auto dropped = std::count_if(dice.Dice.begin(), dice.Dice.end(),
                [](const RolledDie& die) { return die.Dropped || die.Rerolled; });
            const QString count = QString::number(dice.Dice.size()) + QStringLiteral(" dice");
            return dropped == 0
                ? count
                : count + QStringLiteral(", ") + QString::number(dropped) + QStringLiteral(" dropped");
        }
        QString faces;
        for (const RolledDie& die : dice.Dice) {
            if (!faces.isEmpty())
                faces += die.Exploded ? QStringLiteral("!") : QStringLiteral(", ");
            const QString face = FaceText(term, die);
            faces += die.Dropped || die.Rerolled ? StruckUnless(insideStruck, face) : face;
        }
        return faces;
    }

    const RollText& m_text;
    const RollOutcome& m_roll;
    const Detail m_detail;
};

QString Shown(const RollText& text, const std::vector<RollOutcome>& rolls, Detail detail)
{
    QString shown;
    for (const RollOutcome& roll : rolls) {
        if (!shown.isEmpty())
            shown += QStringLiteral("; ");
        shown += Formatter(text, roll, detail).Show(text.Rolls[static_cast<std::size_t>(roll.Spec)].Root)
            + QStringLiteral(" = ") + TotalText(roll);
    }
    return shown;
}

} // namespace

qsizetype Utf8Bytes(QStringView text)
{
    qsizetype bytes = 0;
    for (const QChar c : text) {
        const char16_t u = c.unicode();
        // A surrogate pair takes four bytes: two for each half.
        bytes += u < 0x80 ? 1 : u < 0x800 || c.isSurrogate() ? 2 : 3;
    }
    return bytes;
}

QString TotalsText(const std::vector<RollOutcome>& rolls)
{
    QString totals;
    for (const RollOutcome& roll : rolls) {
        if (!totals.isEmpty())
            totals += QStringLiteral("; ");
        totals += TotalText(roll);
    }
    return totals;
}

std::optional<QString> FormatNotation(
    const RollText& text, const std::vector<RollOutcome>& rolls, qsizetype budgetBytes)
{
    for (const Detail detail : { Detail::Faces, Detail::Summary }) {
        QString shown = Shown(text, rolls, detail);
        if (Utf8Bytes(shown) <= budgetBytes)
            return shown;
    }
    QString totals = TotalsText(rolls);
    if (Utf8Bytes(totals) <= budgetBytes)
        return totals;
    return std::nullopt;
}

} // namespace dice

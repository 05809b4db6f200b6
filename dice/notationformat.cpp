#include "dice/notationformat.h"

#include "dice/roller.h"

#include <algorithm>
#include <cmath>
#include <iterator>

namespace dice {

namespace {

enum class Detail { Faces, Summary };

// Writes a whole number at p and returns the end; p has room for 20 characters.
char16_t* PutNumber(char16_t* p, qint64 value)
{
    char16_t digits[20];
    int count = 0;
    const bool negative = value < 0;
    quint64 rest = negative ? 0 - static_cast<quint64>(value) : static_cast<quint64>(value);
    do {
        digits[count++] = static_cast<char16_t>(u'0' + rest % 10);
        rest /= 10;
    } while (rest != 0);
    if (negative)
        *p++ = u'-';
    while (count > 0)
        *p++ = digits[--count];
    return p;
}

void AppendNumber(QString& out, qint64 value)
{
    char16_t text[20];
    out.append(QStringView(text, PutNumber(text, value) - text));
}

// Whole numbers plainly, anything else with up to two decimals: "14", "-3", "3.5", "0.33".
void AppendTotal(QString& out, const RollOutcome& roll)
{
    out += Bold;
    const double rounded = std::round(roll.Total * 100) / 100;
    if (rounded == std::trunc(rounded)) {
        AppendNumber(out, static_cast<qint64>(rounded));
    } else {
        QString text = QString::number(rounded, 'f', 2);
        while (text.endsWith(u'0'))
            text.chop(1);
        out += text;
    }
    if (roll.Counting)
        out += roll.Total == 1 ? QLatin1String(" success") : QLatin1String(" successes");
    out += Bold;
}

// Writes one die's face at p and returns the end; p has room for 20 characters per face of a chain.
char16_t* PutFace(char16_t* p, const DiceTerm& term, const RolledDie& die)
{
    if (die.Chain.empty() && term.Fudge) {
        *p++ = die.Value > 0 ? u'+' : die.Value < 0 ? u'-' : u'0';
        return p;
    }
    if (die.Chain.empty())
        return PutNumber(p, die.Value);
    for (std::size_t i = 0; i < die.Chain.size(); ++i) {
        if (i > 0)
            *p++ = u'!';
        p = PutNumber(p, die.Chain[i]);
    }
    return p;
}

// Appends the nodes of one roll as typed, with each dice term's faces.
class Formatter {
public:
    Formatter(const RollText& text, const RollOutcome& roll, Detail detail, QString& out)
        : m_text(text)
        , m_roll(roll)
        , m_detail(detail)
        , m_out(out)
    {
    }

    // insideStruck: the node is part of a dropped group member, which is struck through as a whole.
    void Show(int index, bool insideStruck = false)
    {
        const Node& node = m_text.Nodes[static_cast<std::size_t>(index)];
        switch (node.Kind) {
        case NodeKind::Number:
            m_out += m_text.TextOf(node);
            return;
        case NodeKind::Dice:
            m_out += m_text.TextOf(node);
            m_out += QLatin1String(" [");
            Faces(m_roll.NodeAt(m_text, index), insideStruck);
            m_out += u']';
            return;
        case NodeKind::Add:
            return Binary(node, " + ", insideStruck);
        case NodeKind::Subtract:
            return Binary(node, " - ", insideStruck);
        case NodeKind::Multiply:
            return Binary(node, " * ", insideStruck);
        case NodeKind::Divide:
            return Binary(node, " / ", insideStruck);
        case NodeKind::Negate:
            m_out += u'-';
            return Show(node.Left, insideStruck);
        case NodeKind::Parens:
        case NodeKind::Floor:
        case NodeKind::Ceil:
        case NodeKind::Round:
        case NodeKind::Abs: {
            // The function's name as typed, up to its parenthesis.
            const QStringView text = m_text.TextOf(node);
            m_out += text.left(text.indexOf(u'(') + 1);
            Show(node.Left, insideStruck);
            m_out += u')';
            return;
        }
        case NodeKind::Group:
            return Group(node, insideStruck);
        }
    }

private:
    void Binary(const Node& node, const char* op, bool insideStruck)
    {
        Show(node.Left, insideStruck);
        m_out += QLatin1String(op);
        Show(node.Right, insideStruck);
    }

    void Group(const Node& node, bool insideStruck)
    {
        m_out += u'{';
        for (std::size_t i = 0; i < node.Members.size(); ++i) {
            if (i > 0)
                m_out += QLatin1String(", ");
            const int member = node.Members[i];
            const bool dropped = m_roll.NodeAt(m_text, member).Dropped && !insideStruck;
            if (dropped)
                m_out += Strike;
            Show(member, insideStruck || dropped);
            if (dropped)
                m_out += Strike;
        }
        // The group's rules as typed follow its closing brace.
        const QStringView text = m_text.TextOf(node);
        m_out += text.mid(text.lastIndexOf(u'}'));
    }

    void Faces(const NodeOutcome& node, bool insideStruck)
    {
        const DiceOutcome& dice = m_roll.Dice[static_cast<std::size_t>(node.Dice)];
        const DiceTerm& term = m_text.Dice[static_cast<std::size_t>(dice.Term)];
        if (m_detail == Detail::Summary) {
            const auto dropped = std::count_if(dice.Dice.begin(), dice.Dice.end(),
                [](const RolledDie& die) { return die.Dropped || die.Rerolled; });
            AppendNumber(m_out, static_cast<qint64>(dice.Dice.size()));
            m_out += QLatin1String(" dice");
            if (dropped > 0) {
                m_out += QLatin1String(", ");
                AppendNumber(m_out, dropped);
                m_out += QLatin1String(" dropped");
            }
            return;
        }
        // Showing faces is the formatter's busiest loop: the faces are written straight into the text.
        qsizetype room = 0;
        for (const RolledDie& die : dice.Dice)
            room += 4 + 21 * std::max<qsizetype>(1, static_cast<qsizetype>(die.Chain.size()));
        const qsizetype start = m_out.size();
        m_out.resize(start + room);
        char16_t* const begin = reinterpret_cast<char16_t*>(m_out.data()) + start;
        char16_t* p = begin;
        for (std::size_t i = 0; i < dice.Dice.size(); ++i) {
            const RolledDie& die = dice.Dice[i];
            if (i > 0 && die.Exploded) {
                *p++ = u'!';
            } else if (i > 0) {
                *p++ = u',';
                *p++ = u' ';
            }
            const bool struck = (die.Dropped || die.Rerolled) && !insideStruck;
            if (struck)
                *p++ = Strike.unicode();
            p = PutFace(p, term, die);
            if (struck)
                *p++ = Strike.unicode();
        }
        m_out.resize(start + (p - begin));
    }

    const RollText& m_text;
    const RollOutcome& m_roll;
    const Detail m_detail;
    QString& m_out;
};

QString Shown(const RollText& text, const std::vector<RollOutcome>& rolls, Detail detail)
{
    QString shown;
    shown.reserve(128);
    for (const RollOutcome& roll : rolls) {
        if (!shown.isEmpty())
            shown += QLatin1String("; ");
        Formatter(text, roll, detail, shown).Show(text.Rolls[static_cast<std::size_t>(roll.Plan)].Root);
        shown += QLatin1String(" = ");
        AppendTotal(shown, roll);
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
            totals += QLatin1String("; ");
        AppendTotal(totals, roll);
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

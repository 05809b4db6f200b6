#pragma once

// The dice notation of the virtual tabletops (Roll20, Foundry) behind the r, gmroll and inline rolls: a
// roll text read into a tree once, then rolled on any face source and shown. The classic roller of the
// roll command is separate and unaffected.
//
//   rolls    := roll (";" roll)* [blanks comment]
//   roll     := [count "#"] sum
//   sum      := product (("+" | "-") product)*
//   product  := unary (("*" | "/") unary)*
//   unary    := "-" unary | "+" unary | primary
//   primary  := number | dice | "(" sum ")" | function "(" sum ")" | "{" sum ("," sum)* "}" groupmods
//   dice     := [count] "d" (sides | "%" | "F") modifier*
//   modifier := "!" ["!" | "p"] [point] | ("k" | "kh" | "kl" | "d" | "dl" | "dh") [count]
//             | ("r" | "ro" | "f" | "dbl") point | point
//   point    := [">=" | "<=" | ">" | "<" | "="] number
//
// Blanks may stand between the tokens of a sum, never inside a dice term; letters are read without case.

#include <QString>
#include <optional>
#include <vector>

namespace dice {

inline constexpr int MaxNotationDice = 1000; // dice asked for by one roll text, repeats included
inline constexpr int MaxExplosionsPerDie = 100; // also the most rerolls of one die
inline constexpr int MaxNotationSides = 10000;
inline constexpr int MaxNotationRepeats = 20;
inline constexpr qsizetype MaxNotationChars = 500;

enum class Comparison { Equal, Greater, GreaterEqual, Less, LessEqual };

// A test of a face against a number: "<=2", ">=7", "=10".
struct ComparePoint {
    Comparison How = Comparison::Equal;
    int Value = 0;

    bool Matches(int face) const;
    // True when every face from lowest to highest passes, so that rerolling or exploding would never end.
    bool CoversAll(int lowest, int highest) const;
};

enum class Explosion { None, Standard, Compounding, Penetrating };
enum class Keep { All, Highest, Lowest, DropHighest, DropLowest };

// What a dice term or a group does with its dice once rolled. Absent points do not apply.
struct RollRules {
    Explosion Explode = Explosion::None;
    std::optional<ComparePoint> ExplodeOn; // absent: on the highest face
    std::optional<ComparePoint> Reroll;
    bool RerollOnce = false;
    Keep Kept = Keep::All;
    int KeepCount = 0;
    std::optional<ComparePoint> Success;
    std::optional<ComparePoint> Failure;
    std::optional<ComparePoint> Double; // faces that count as two successes

    bool CountsSuccesses() const { return Success || Failure || Double; }
};

struct DiceTerm {
    int Count = 1;
    int Sides = 6;
    bool Fudge = false; // faces -1, 0 and +1
    RollRules Rules;

    int LowestFace() const { return Fudge ? -1 : 1; }
    int HighestFace() const { return Fudge ? 1 : Sides; }
};

enum class NodeKind {
    Number,
    Dice,
    Add,
    Subtract,
    Multiply,
    Divide,
    Negate,
    Parens,
    Floor,
    Ceil,
    Round,
    Abs,
    Group
};

// One node of the tree. Children are indices into RollText::Nodes; a node's text is the span it was
// read from, as the user typed it.
struct Node {
    NodeKind Kind = NodeKind::Number;
    double Number = 0;
    int Dice = -1; // index into RollText::Dice, for a dice term
    int Left = -1; // the operand of a unary node, the left one of a binary node
    int Right = -1;
    std::vector<int> Members; // a group's expressions
    RollRules GroupRules; // a group's keep and success rules
    qsizetype Start = 0;
    qsizetype End = 0;
};

// One roll of a roll text: the tree at Root, rolled Repeats times. Its nodes are FirstNode to Root.
struct RollPlan {
    int Repeats = 1;
    int FirstNode = 0;
    int Root = -1;
};

struct RollText {
    QString Source;
    std::vector<Node> Nodes;
    std::vector<DiceTerm> Dice;
    std::vector<RollPlan> Rolls;
    QString Comment;

    QStringView TextOf(const Node& node) const
    {
        return QStringView(Source).mid(node.Start, node.End - node.Start);
    }
};

// Why a roll text was refused. An unreadable text names the word and the place it could not read; a
// text refused for its size names only the reason.
struct NotationError {
    QString Word;
    QString At; // empty: at the end of the word
    QString Why;

    // "I can't read "4d6kk3" at "kk": that is no dice modifier (...)." or the reason alone.
    QString Message() const;
};

} // namespace dice

#pragma once

// What the game-system dice pools share: where their faces come from, how a command's parameter is split
// into words, and the answer a pool gives its command.

#include <QList>
#include <QString>
#include <optional>

namespace dice {

// The faces of a pool's dice. The bot rolls with the generator; tests script the faces they need.
class FaceSource {
public:
    virtual ~FaceSource() = default;
    // One die of the given number of sides (at least 1): 1 .. sides.
    virtual int Roll(int sides) = 0;
};

// Dice from the bot's one generator: RandomBelow(sides) + 1. It never reseeds; the commands decide when.
class GeneratorFaces final : public FaceSource {
public:
    int Roll(int sides) override;
};

// A pool's answer: the text that follows the asker's nick, and whether it is a complaint about the
// parameter rather than a roll.
struct PoolReply {
    QString Text;
    bool Refused = false;
};

// A word of a parameter and where it starts, so that a comment can be taken as the user typed it.
struct ParameterWord {
    QString Text;
    qsizetype Start = 0;
};

// The words of a parameter, split at spaces; runs of spaces separate like one.
QList<ParameterWord> SplitParameter(const QString& parameter);

// The word at index as a whole number, or nothing when there is no such word or it is no number.
std::optional<int> NumberAt(const QList<ParameterWord>& words, qsizetype index);

// True when the word at index, ignoring case, is one of the given option words.
bool IsOptionWord(
    const QList<ParameterWord>& words, qsizetype index, std::initializer_list<const char*> options);

// count dice of the given number of sides.
QList<int> RollDice(FaceSource& faces, int count, int sides);

// "5,1,6": faces joined by commas.
QString JoinFaces(const QList<int>& faces);

// Replies list at most this many faces; past that a list shows as "..." so that no answer floods.
inline constexpr qsizetype MaxListedFaces = 300;

class FaceListing {
public:
    // True while a list of count faces still fits in what is left.
    bool Fits(qsizetype count) const { return count <= m_left; }
    // "5,1,6" while the faces fit (and spends them), "..." after that.
    QString Show(const QList<int>& faces);

private:
    qsizetype m_left = MaxListedFaces;
};

// Rerolls of one exploding die, or rounds of an edge test, are cut off after this many: a run of 6s that
// long has odds far below one in a trillion, and a bounded run keeps every answer finite.
inline constexpr int MaxExplosions = 20;

} // namespace dice

#include "dice/pools.h"

#include "common/asciicase.h"
#include "common/parseinteger.h"
#include "dice/randomsource.h"

#include <QStringList>

namespace dice {

int GeneratorFaces::Roll(int sides)
{
    return RandomBelow(sides) + 1;
}

QList<ParameterWord> SplitParameter(const QString& parameter)
{
    QList<ParameterWord> words;
    qsizetype i = 0;
    while (i < parameter.size()) {
        if (parameter[i] == u' ') {
            ++i;
            continue;
        }
        qsizetype end = parameter.indexOf(u' ', i);
        if (end < 0)
            end = parameter.size();
        words.append({ parameter.mid(i, end - i), i });
        i = end;
    }
    return words;
}

std::optional<int> NumberAt(const QList<ParameterWord>& words, qsizetype index)
{
    if (index < 0 || index >= words.size())
        return std::nullopt;
    return common::ParseInteger(words[index].Text);
}

bool IsOptionWord(
    const QList<ParameterWord>& words, qsizetype index, std::initializer_list<const char*> options)
{
    if (index < 0 || index >= words.size())
        return false;
    for (const char* option : options) {
        if (common::AsciiLower(words[index].Text) == QLatin1String(option))
            return true;
    }
    return false;
}

QList<int> RollDice(FaceSource& faces, int count, int sides)
{
    QList<int> rolled;
    rolled.reserve(count);
    for (int i = 0; i < count; ++i)
        rolled.append(faces.Roll(sides));
    return rolled;
}

QString JoinFaces(const QList<int>& faces)
{
    QStringList texts;
    texts.reserve(faces.size());
    for (int face : faces)
        texts.append(QString::number(face));
    return texts.join(u',');
}

QString FaceListing::Show(const QList<int>& faces)
{
    if (!Fits(faces.size())) {
        m_left = 0;
        return QStringLiteral("...");
    }
    m_left -= faces.size();
    return JoinFaces(faces);
}

} // namespace dice

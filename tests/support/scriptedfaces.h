#pragma once

// A face source for the dice pools that hands out the faces a test scripts, in order, and records the
// sides asked for, so a test can tell exactly how many dice of which kind a pool rolled.

#include "dice/pools.h"

namespace testing_support {

class ScriptedFaces final : public dice::FaceSource {
public:
    explicit ScriptedFaces(QList<int> faces)
        : m_faces(std::move(faces))
    {
    }

    // Every die shows the same face, however many are rolled.
    static ScriptedFaces Always(int face)
    {
        ScriptedFaces faces({});
        faces.m_always = face;
        return faces;
    }

    int Roll(int sides) override
    {
        Sides.append(sides);
        if (m_always)
            return m_always;
        // Past the script every die shows 2; a test that checks Used() sees the overrun.
        return Sides.size() <= m_faces.size() ? m_faces[Sides.size() - 1] : 2;
    }

    qsizetype Used() const { return Sides.size(); }
    qsizetype Scripted() const { return m_faces.size(); }

    QList<int> Sides;

private:
    QList<int> m_faces;
    int m_always = 0;
};

} // namespace testing_support

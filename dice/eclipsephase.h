#pragma once

// Eclipse Phase tests: a d100 read as 00 to 99 against a target number. A roll at or under the target
// succeeds; 00 always succeeds and 99 always fails; doubles (00, 11, ... 99) are criticals. The margin is
// the distance from roll to target; 30 or more makes an excellent success or a severe failure. An opposed
// test rolls for both sides and names the winner.

#include "dice/pools.h"

namespace dice {

inline constexpr int MaxEclipseTarget = 999;

struct EclipseJudgement {
    bool Success = false;
    bool Critical = false;
    // 00 under a target below 0, or 99 under a target of 99 or more: decided by the roll alone, so the
    // margin means nothing.
    bool Automatic = false;
    int Margin = 0;
};

EclipseJudgement JudgeEclipseRoll(int roll, int target);

// "Success with MoS 6.", "Critical failure!", ...; adds "Could be flip-flopped with Moxie." when
// swapping the roll's digits would turn the failure into a success.
QString EclipseVerdict(int roll, int target);

enum class OpposedOutcome { SideA, SideB, Stalemate };

// A success beats a failure, a critical success a plain one, and of two successes the higher roll wins;
// two failures, or two equal successes on the same roll, are a stalemate.
OpposedOutcome JudgeOpposed(int rollA, int targetA, int rollB, int targetB);

// "TN [vs TN2] [comment]": ": 44 vs 50. Success with MoS 6." or, opposed,
// ": side A: 44 vs 50. ... Side B: 87 vs 75. ... Side A wins."; a comment goes after the nick.
PoolReply EclipsePhaseTest(const QString& parameter, FaceSource& faces);

} // namespace dice

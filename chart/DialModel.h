// The needle dial without widgets: the face as a list of drawing items and the
// needle's two ends. The dial view paints face() and then the needle moves that
// KDrun returns; the model keeps NeedleTip and NeedleBase between frames.
//
// Geometry: the panel's width and height fix a circle whose top arc is the scale.
// All geometry runs in single precision and rounds to pixels half to even, so the
// face comes out pixel for pixel the same on every run.
#pragma once

#include "chart/DialItem.h"

#include <cstdint>
#include <string>
#include <vector>

namespace valdrin {

// The shared-state values the dial reads (count family constants, limits, modes).
struct DialParams {
    std::string CountFamily;
    int32_t FullScale, DialTicks, DialCentre;
    float UpperLimit, LowerLimit;
    bool FrequencyMode, SetMaxB, SetMinB;
};

class DialModel {
public:
    // Panel size in pixels; the width must exceed 40 and the height 60
    // (std::invalid_argument otherwise), since the scale keeps those margins.
    explicit DialModel(int panelWidth = 371, int panelHeight = 143);

    // Rebuilds face(): Clear, then per step its number text and mark, then the
    // limit band dots. The needle is not part of the face: a view that repaints
    // the face loses the needle until the next KDrun (NeedleTip/NeedleBase stay).
    void KDsetup(const DialParams& params);
    const std::vector<DialItem>& face() const { return face_; }

    // One needle move: erase is the previous needle in white, draw the new one in black.
    struct NeedleMove {
        DialItem erase, draw;
    };
    // Moves the needle to a position on the needle scale (0 .. 10 x DialTicks,
    // frequency mode -100 .. 900). Positions far beyond either end peg the needle
    // at NeedleMinDegrees from the horizontal, where the base point is still finite.
    // Runs once per decoded frame: no allocation.
    NeedleMove KDrun(int32_t position, const DialParams& params);

    DialPoint NeedleTip{0, 0}, NeedleBase{0, 0};

    // One count advanced by both operations: the face was rebuilt when faceRevision()
    // changed, and the needle stands on the current face (NeedleTip to NeedleBase)
    // only when needleRevision() is the later of the two.
    uint64_t faceRevision() const { return faceRevision_; }
    uint64_t needleRevision() const { return needleRevision_; }

    // The needle's angle is kept this many degrees away from the horizontal: at 0
    // or 180 degrees its base point (where it meets the line far below) does not exist.
    static constexpr float NeedleMinDegrees = 1.0f;

    // The pixel at distance r from the circle's centre on step `step` of a scale
    // of `steps` steps.
    DialPoint stepPoint(int64_t step, int64_t steps, float r) const;

    float w() const { return w_; }
    float h() const { return h_; }
    float R() const { return R_; }
    float theta() const { return theta_; }   // opening angle of the arc, degrees
    float alpha0() const { return alpha0_; } // angle of the arc's left end, degrees

private:
    float angleDegrees(int64_t step, int64_t steps) const;

    float w_, h_, R_, theta_, alpha0_;
    float baseL_;  // signed distance of the base line from the centre, R - h - 280
    int baseY_;    // y of the base point, the same for every needle
    std::vector<DialItem> face_;
    uint64_t revisions_ = 0;
    uint64_t faceRevision_ = 0;
    uint64_t needleRevision_ = 0;
};

} // namespace valdrin

// The revision counts that let the views redraw only what changed.
#include "chart/ChartModel.h"
#include "chart/DialModel.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>

namespace valdrin {
namespace {

TEST(ChartRevision, EveryChangeAViewDrawsAdvancesIt)
{
    ChartModel model;
    model.prepare();
    struct Change {
        std::string name;
        std::function<void(ChartModel&)> run;
    };
    const Change changes[] = {
        {"point", [](ChartModel& m) { m.addPoint(ChartModel::LineSeries, 7); }},
        {"follow", [](ChartModel& m) { m.followLastPage(); }},
        {"new", [](ChartModel& m) { m.BtNewClick(); }},
        {"fill box", [](ChartModel& m) { m.setBtFillChecked(false); }},
        {"fill click", [](ChartModel& m) { m.btFillClick(); }},
        {"menu fill", [](ChartModel& m) { m.FillClick(); }},
        {"combo", [](ChartModel& m) { m.ComboBox1Change(1); }},
        {"first", [](ChartModel& m) { m.BtFirstClick(); }},
        {"previous", [](ChartModel& m) { m.BTPreviousClick(); }},
        {"next", [](ChartModel& m) { m.BtNextClick(); }},
        {"last", [](ChartModel& m) { m.BTlastClick(); }},
        {"per page", [](ChartModel& m) { m.MaxrecordExit("0"); }},
        {"axis", [](ChartModel& m) { m.setLeftAxis(-5000, 5000); }},
        {"enlarge", [](ChartModel& m) { m.TbFdClick(723, 520); }},
    };
    for (const Change& c : changes) {
        const uint64_t before = model.revision();
        c.run(model);
        EXPECT_GT(model.revision(), before) << c.name;
    }
    const uint64_t before = model.revision();
    (void)model.pageCount();
    (void)model.visibleRange(0);
    EXPECT_EQ(model.revision(), before);
}

TEST(DialRevision, TellsAFaceRebuildFromANeedleMove)
{
    DialModel dial;
    const DialParams params{"4", 40000, 80, 400, 40000.0f, -40000.0f, false, false, false};
    EXPECT_EQ(dial.faceRevision(), dial.needleRevision());
    dial.KDsetup(params);
    const uint64_t face = dial.faceRevision();
    EXPECT_GT(face, dial.needleRevision()); // the face has no needle yet
    dial.KDrun(400, params);
    EXPECT_EQ(dial.faceRevision(), face);
    EXPECT_GT(dial.needleRevision(), face);
    const uint64_t needle = dial.needleRevision();
    dial.KDrun(500, params);
    EXPECT_GT(dial.needleRevision(), needle);
    dial.KDsetup(params);
    EXPECT_GT(dial.faceRevision(), dial.needleRevision());
}

} // namespace
} // namespace valdrin

// The grid's model over the reading table: columns, roles and the long time format;
// appended rows announced in one batch, a cleared or replaced table as a reset; ten
// million rows read on demand.
#include "ui/ReadingGridModel.h"
#include "ui/Glyphs.h"
#include "ui/UnitColumnDelegate.h"

#include <QFont>
#include <QImage>
#include <QPainter>
#include <QStyleOptionViewItem>
#include <gtest/gtest.h>

#include <vector>

namespace valdrin {
namespace {

using Col = ReadingGridModel::Column;

// Records what a model announces.
struct Announcements {
    std::vector<std::pair<int, int>> inserted;  // first, last
    int resets = 0;
    explicit Announcements(ReadingGridModel& model)
    {
        QObject::connect(&model, &QAbstractItemModel::rowsInserted,
                         [this](const QModelIndex&, int first, int last) { inserted.emplace_back(first, last); });
        QObject::connect(&model, &QAbstractItemModel::modelReset, [this] { ++resets; });
    }
};

class ReadingGridModelTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        table.appendReading(1, 3723000, "DC", "12.34", "V", "AUTO");        // 01:02:03
        table.appendReading(2, 49530000, "AC", "-0.567", "m*", "MANU");     // 13:45:30
        table.append(TableRow{std::nullopt, std::nullopt, "", "OL", "", ""});  // nulls
    }
    QString text(const ReadingGridModel& model, int row, int column)
    {
        return model.data(model.index(row, column)).toString();
    }
    ReadingTable table;
};

TEST_F(ReadingGridModelTest, ShowsTheSixFieldsWithTheirTitlesAlignmentsAndFonts)
{
    ReadingGridModel model(table, "%H:%M:%S");
    ASSERT_EQ(model.rowCount(), 3);
    ASSERT_EQ(model.columnCount(), 6);

    const char* titles[] = {"No", "Time", "DC/AC", "Value", "Unit", "Auto"};
    const Qt::Alignment alignments[] = {Qt::AlignLeft,  Qt::AlignHCenter, Qt::AlignHCenter,
                                        Qt::AlignRight, Qt::AlignRight,   Qt::AlignHCenter};
    const std::array<int, 6> widths = {53, 60, 44, 56, 35, 35};
    EXPECT_EQ(ReadingGridModel::columnWidths(), widths);
    for (int c = 0; c < 6; ++c) {
        EXPECT_EQ(model.headerData(c, Qt::Horizontal).toString(), titles[c]);
        const QFont title = model.headerData(c, Qt::Horizontal, Qt::FontRole).value<QFont>();
        EXPECT_EQ(title.pixelSize(), 11);
        const auto align = model.data(model.index(0, c), Qt::TextAlignmentRole).value<Qt::Alignment>();
        EXPECT_EQ(align & Qt::AlignHorizontal_Mask, alignments[c]) << titles[c];
        EXPECT_EQ(align & Qt::AlignVertical_Mask, Qt::AlignVCenter);
        const QFont cell = model.data(model.index(0, c), Qt::FontRole).value<QFont>();
        EXPECT_EQ(cell.family(), "Arial");
        EXPECT_EQ(cell.pixelSize(), 12);
        EXPECT_FALSE(model.flags(model.index(0, c)) & Qt::ItemIsEditable);
    }

    const QStringList rows[] = {{"1", "01:02:03", "DC", "12.34", "V", "AUTO"},
                                {"2", "13:45:30", "AC", "-0.567", "m*", "MANU"},
                                {"", "", "", "OL", "", ""}};
    for (int r = 0; r < 3; ++r)
        for (int c = 0; c < 6; ++c)
            EXPECT_EQ(text(model, r, c), rows[r][c]) << r << "," << c;
    EXPECT_FALSE(model.setData(model.index(0, Col::ValueColumn), "9"));
    EXPECT_FALSE(model.data(model.index(3, 0)).isValid());
}

TEST_F(ReadingGridModelTest, TimeFollowsTheLongTimeFormat)
{
    const std::pair<const char*, const char*> cases[] = {
        {"%H:%M:%S", "13:45:30"}, {"%I:%M:%S %p", "01:45:30 PM"}, {"%R", "13:45"}, {"%T", "13:45:30"}};
    for (const auto& [format, shown] : cases) {
        const ReadingGridModel model(table, format);
        EXPECT_EQ(text(model, 1, Col::TimeColumn), shown) << format;
    }
}

TEST_F(ReadingGridModelTest, RefreshAnnouncesAppendedRowsInOneBatch)
{
    ReadingGridModel model(table, "%H:%M:%S");
    Announcements seen(model);
    EXPECT_FALSE(model.refresh());
    for (int i = 0; i < 5; ++i)
        table.appendReading(3 + i, 0, "DC", "1.000", "V", "AUTO");
    EXPECT_EQ(model.rowCount(), 3);  // not before the refresh
    EXPECT_TRUE(model.refresh());
    EXPECT_EQ(seen.inserted, (std::vector<std::pair<int, int>>{{3, 7}}));
    EXPECT_EQ(seen.resets, 0);
    EXPECT_EQ(model.rowCount(), 8);
    EXPECT_EQ(text(model, 7, Col::NoColumn), "7");
    EXPECT_FALSE(model.refresh());
    EXPECT_EQ(seen.inserted.size(), 1u);
}

TEST_F(ReadingGridModelTest, ClearedOrReplacedTableResetsTheModel)
{
    ReadingGridModel model(table, "%H:%M:%S");
    Announcements seen(model);

    // Emptied: until the refresh, the rows the views still know read as blank.
    table.clear();
    EXPECT_FALSE(model.data(model.index(2, Col::ValueColumn)).isValid());
    EXPECT_TRUE(model.refresh());
    EXPECT_EQ(seen.resets, 1);
    EXPECT_EQ(model.rowCount(), 0);

    // Refilled with more rows than before between two refreshes (a "Record deleted"
    // followed by recording, or a load): a reset, not an append.
    for (int i = 0; i < 2; ++i)
        table.appendReading(1 + i, 0, "DC", "5", "V", "AUTO");
    model.refresh();
    seen = Announcements(model);
    table.clear();
    for (int i = 0; i < 4; ++i)
        table.appendReading(1 + i, 0, "AC", "7", "A", "MANU");
    EXPECT_TRUE(model.refresh());
    EXPECT_EQ(seen.resets, 1);
    EXPECT_TRUE(seen.inserted.empty());
    EXPECT_EQ(model.rowCount(), 4);

    // Replaced by a loaded table with more rows.
    ReadingTable loaded;
    for (int i = 0; i < 6; ++i)
        loaded.appendReading(100 + i, 0, "DC", "1", "V", "AUTO");
    table.swap(loaded);
    EXPECT_TRUE(model.refresh());
    EXPECT_EQ(seen.resets, 2);
    EXPECT_EQ(model.rowCount(), 6);
    EXPECT_EQ(text(model, 0, Col::NoColumn), "100");
}

TEST(ReadingGridModelLargeTest, TenMillionRowsReadOnDemand)
{
    ReadingTable table;
    constexpr int kRows = 10'000'000;
    table.beginBulkAppend();
    for (int i = 0; i < kRows; ++i)
        table.appendReading(i + 1, i % kMsPerDay, "DC", "1.2345", "V", "AUTO");
    table.endBulkAppend();
    table.appendReading(kRows + 1, 86399000, "AC", "-9.876", "k*", "MANU");  // 23:59:59

    ReadingGridModel model(table, "%H:%M:%S");
    EXPECT_EQ(model.rowCount(), kRows + 1);
    const int last = kRows;
    EXPECT_EQ(model.data(model.index(last, Col::NoColumn)).toString(), "10000001");
    EXPECT_EQ(model.data(model.index(last, Col::TimeColumn)).toString(), "23:59:59");
    EXPECT_EQ(model.data(model.index(last, Col::ValueColumn)).toString(), "-9.876");
    EXPECT_EQ(model.data(model.index(last, Col::UnitColumn)).toString(), "k*");
}

TEST(UnitColumnDelegateTest, DrawsTheUnitInTheSymbolFaceAndOtherColumnsAsText)
{
    ReadingTable table;
    table.appendReading(1, 0, "DC", "1", "*", "AUTO");
    ReadingGridModel model(table, "%H:%M:%S");
    UnitColumnDelegate delegate(Col::UnitColumn);

    auto paint = [&](int column) {
        QImage image(35, 18, QImage::Format_RGB32);
        image.fill(Qt::white);
        QPainter painter(&image);
        QStyleOptionViewItem option;
        option.rect = image.rect();
        option.palette.setColor(QPalette::Text, Qt::black);
        delegate.paint(&painter, option, model.index(0, column));
        return image;
    };
    // The ohm sign is drawn as the symbol, right-aligned: its two feet at the cell's
    // right, not the character "*".
    const QImage unit = paint(Col::UnitColumn);
    const QImage expected = [] {
        QImage image(35, 18, QImage::Format_RGB32);
        image.fill(Qt::white);
        QPainter painter(&image);
        painter.setRenderHint(QPainter::Antialiasing, true);
        painter.setPen(Qt::black);
        const qreal width = glyphTextWidth(GlyphFont::KelvoA2, 12, "*");
        drawGlyphText(painter, GlyphFont::KelvoA2, QPointF(35 - 2 - width, 3), 12, "*");
        return image;
    }();
    EXPECT_EQ(unit, expected);
    EXPECT_GT(delegate.sizeHint(QStyleOptionViewItem(), model.index(0, Col::UnitColumn)).width(), 0);
    EXPECT_NE(paint(Col::AutoColumn), expected);  // drawn as a text of its own
}

} // namespace
} // namespace valdrin

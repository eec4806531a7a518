// The simulator's frames read back by the program's own assemblers and decoders:
// every reading of the demonstration must come out as it was written, in each family.
#include "meter/FcommCore.h"
#include "tests/support/CoreFixture.h"
#include "tools/valdrin-sim/DemoSequence.h"
#include "tools/valdrin-sim/ReadingFrames.h"

#include <gtest/gtest.h>

#include <sstream>

namespace valdrin {
namespace {

using sim::Family;

class Collector final : public FrameObserver {
public:
    void frameDecoded(const FcommCore& core, const FrameReport& report) override
    {
        got.push_back(core.S.ReadingValue + " " + core.S.ReadingUnit + " " + core.S.ReadingMode + " "
                      + core.S.ReadingRange + (report.error ? " error" : ""));
    }
    std::vector<std::string> got;
};

// What the program shows for a reading: the overload reads as the family draws it.
std::string expectedText(const std::string& reading, Family family)
{
    std::istringstream in(reading);
    std::string value, unit, word, mode, range;
    in >> value >> unit;
    while (in >> word)
        (word == "AUTO" || word == "MANU" ? range : mode) = word;
    // Zentor shows AUTO or nothing; the others AUTO or MANU.
    if (family == Family::Zentor && range == "MANU")
        range.clear();
    if (family != Family::Zentor && range.empty())
        range = "MANU";
    if (value == "OL" || value == "-OL") {
        const std::string sign = value[0] == '-' ? "-" : "";
        value = sign + (family == Family::Teskar ? "0.L" : ".0L");
    }
    return value + " " + unit + " " + mode + " " + range;
}

class SimFrames : public ::testing::TestWithParam<Family> {
protected:
    std::vector<std::string> decode(const std::vector<std::string>& readings)
    {
        CoreOptions options;
        options.switches.IFTeskar = GetParam() == Family::Teskar;
        test::CoreFixture f(options);
        FcommCore& core = f.core;
        if (GetParam() == Family::Brevast)
            core.serialAssembler = SerialAssembler::Brevast;
        Collector collector;
        core.observer = &collector;
        std::vector<uint8_t> stream;
        if (GetParam() != Family::Teskar)
            stream.push_back(0x0A);
        for (const auto& r : readings) {
            const Bytes frame = sim::readingFrame(GetParam(), r);
            stream.insert(stream.end(), frame.begin(), frame.end());
        }
        core.guarded([&] { core.OnReceiveData(stream.data(), static_cast<int32_t>(stream.size())); });
        errors = f.messages.errors;
        return collector.got;
    }
    std::vector<std::string> errors;  // the application's error handler, of the last decode
};

TEST_P(SimFrames, DemonstrationDecodesAsWritten)
{
    const std::vector<std::string> readings = sim::demoSequence();
    std::vector<std::string> expected;
    for (const auto& r : readings)
        expected.push_back(expectedText(r, GetParam()));
    EXPECT_EQ(decode(readings), expected);
    EXPECT_TRUE(errors.empty());
}

TEST_P(SimFrames, CommandLineReadingsDecodeAsWritten)
{
    const std::vector<std::string> readings = {"-0.012 V AC MANU", "1.000 uF", "100.0 mV DC AUTO", "-OL V DC AUTO"};
    std::vector<std::string> expected;
    for (const auto& r : readings)
        expected.push_back(expectedText(r, GetParam()));
    EXPECT_EQ(decode(readings), expected);
}

INSTANTIATE_TEST_SUITE_P(Families, SimFrames, ::testing::Values(Family::Zentor, Family::Teskar, Family::Brevast),
                         [](const auto& param) {
                             return std::string(param.param == Family::Zentor   ? "Zentor"
                                                : param.param == Family::Teskar ? "Teskar"
                                                                               : "Brevast");
                         });

TEST(SimFramesZentor, FiveDigitsAndTheFamilyCodes)
{
    // Digits 1 2 3 4 5, range 1, function 1 (volts), coupling 2 (DC), status 1 (AUTO).
    EXPECT_EQ(sim::zentorNibbles("1.2345 V DC AUTO"), "123451121");
    EXPECT_EQ(sim::zentorNibbles("-1.2345 V DC AUTO"), "123451125");
    EXPECT_EQ(sim::zentorNibbles("00.470 kohm"), "004703400");
    EXPECT_EQ(sim::zentorNibbles("1.234 V"), "1234A1100") << "four digits leave the fifth blank";
}

TEST(SimFramesRejects, ReadingsTheFamilyCannotShow)
{
    const struct {
        Family family;
        const char* reading;
    } cases[] = {
        {Family::Zentor, "1.2 ohm"},        // "*" has its point after digit 3
        {Family::Zentor, "123456 V"},       // six digits
        {Family::Teskar, "1.2345 V"},       // five digits
        {Family::Teskar, "1234. V"},        // no point after the last digit
        {Family::Brevast, "1.2 V AC+DC"},   // no AC+DC
        {Family::Brevast, "1.234 W"},       // no watts
        {Family::Zentor, "abc V"},
        {Family::Zentor, "1.234"},
    };
    for (const auto& c : cases)
        EXPECT_THROW(sim::readingFrame(c.family, c.reading), sim::ReadingError) << c.reading;
}

} // namespace
} // namespace valdrin

// The bounds the command line states before any work: the views' points the free memory holds,
// comment lines short enough for a target's tools, frequencies of huge rates that stay finite.
#include "core/analysis/views.h"
#include "core/formats/exports/export_text.h"
#include "core/io/memory.h"

#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>
#include <string>

namespace {

TEST(ViewPoints, AreWhatTheFreeMemoryHoldsUpToTheGridsLimit) {
    const struct {
        std::uint64_t freeBytes;
        int most;
    } cases[] = {
        {0, 0},
        {taplore::kBytesPerViewPoint - 1, 0},
        {taplore::kBytesPerViewPoint * 1000 + 5, 1000},
        {taplore::kBytesPerViewPoint * std::uint64_t{taplore::FrequencyGrid::kMaxPoints},
         taplore::FrequencyGrid::kMaxPoints},
        {UINT64_MAX, taplore::FrequencyGrid::kMaxPoints},
    };
    for (const auto& c : cases) {
        mem::SetFreeBytesForTesting(c.freeBytes);
        EXPECT_EQ(taplore::MostViewPoints(), c.most) << c.freeBytes;
    }
    mem::SetFreeBytesForTesting(std::nullopt);
}

TEST(FrequencyOf, IsTheProductOverThePartsAndFiniteWhereTheProductOverflows) {
    EXPECT_EQ(taplore::FrequencyOf(511, 8000, 1024), 511 * 8000.0 / 1024);
    EXPECT_EQ(taplore::FrequencyOf(3, 44100, 7), 3 * 44100.0 / 7); // rounded as before
    EXPECT_EQ(taplore::FrequencyOf(10, DBL_MAX, 20), 10 * (DBL_MAX / 20));
    EXPECT_TRUE(std::isfinite(taplore::FrequencyOf(1023, DBL_MAX, 2048)));
}

TEST(WrappedComment, CutsLongLinesAtBlanksOrBetweenCharactersOnly) {
    const std::size_t most = taplore::kMaxCommentLength;
    EXPECT_EQ(taplore::WrappedComment("short"), std::vector<std::string_view>{"short"});
    const std::string exact(most, 'a');
    EXPECT_EQ(taplore::WrappedComment(exact).size(), 1u);
    // At the last blank before the limit, which is dropped.
    const std::string words = std::string(most - 10, 'a') + " " + std::string(20, 'b');
    EXPECT_EQ(taplore::WrappedComment(words),
              (std::vector<std::string_view>{std::string_view(words).substr(0, most - 10),
                                             std::string_view(words).substr(most - 9)}));
    // No blank: at the limit, moved back off a UTF-8 character's continuation bytes.
    const std::string accents = std::string(most - 1, 'a') + "é" + "tail";
    const auto pieces = taplore::WrappedComment(accents);
    ASSERT_EQ(pieces.size(), 2u);
    EXPECT_EQ(pieces[0].size(), most - 1);
    EXPECT_EQ(pieces[1], "étail");
    for (const auto& piece : taplore::WrappedComment(std::string(5 * most + 3, 'x')))
        EXPECT_LE(piece.size(), most);
}

} // namespace

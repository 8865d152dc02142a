#include "app/cli/save_memory.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace foliomix::cli {
namespace {

TEST(SaveMemoryTest, WarnsOnlyWhenTheSaveMayNeedMoreThanIsFree) {
    struct Case {
        std::int64_t slides;
        std::optional<std::uint64_t> available;
        std::string expected;
    };
    constexpr std::uint64_t kGB = 1'000'000'000;
    for (const Case& c : {
             Case{2070, 4 * kGB,
                  "warning: saving 2070 slides as .pptx may need about 7.7 GB of memory, and "
                  "4.0 GB is free; .ppt or .odp needs far less"},
             Case{1, 1'000'000, "warning: saving 1 slide as .pptx may need about"},
             Case{1000, 3'700'000'000, ""},  // exactly enough
             Case{1000, 3'699'999'999, "warning: saving 1000 slides"},
             Case{2070, std::nullopt, ""},     // free memory not known
             Case{0, 0, ""}, Case{-1, 0, ""},  // slides not counted
         }) {
        SCOPED_TRACE(c.slides);
        const std::string warning =
            LargeSaveWarning(".pptx", c.slides, kPptxBytesPerSlide, c.available);
        if (c.expected.empty()) {
            EXPECT_EQ(warning, "");
        } else {
            EXPECT_THAT(warning, ::testing::StartsWith(c.expected));
        }
    }
}

TEST(SaveMemoryTest, ReadsTheMachinesFreeMemory) {
    const auto available = AvailableMemory();
    ASSERT_TRUE(available.has_value());
    EXPECT_GT(*available, 0U);
}

}  // namespace
}  // namespace foliomix::cli

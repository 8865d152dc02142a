// Which export filter SaveAs picks for a name.
#include "merge/impress/save_filter.h"

#include <gtest/gtest.h>

#include <string>

namespace foliomix::impress {
namespace {

struct FilterCase {
    std::u16string fileName;
    std::string filter;
};

class SaveFilterTest : public ::testing::TestWithParam<FilterCase> {};

TEST_P(SaveFilterTest, ChosenByExtension) {
    EXPECT_EQ(SaveFilterFor(GetParam().fileName), GetParam().filter);
}

INSTANTIATE_TEST_SUITE_P(
    Names, SaveFilterTest,
    ::testing::Values(FilterCase{u"/home/u/合并结果.ppt", "MS PowerPoint 97"},
                      FilterCase{u"/home/u/RESULT.PPT", "MS PowerPoint 97"},
                      FilterCase{u"/home/u/result.pptx", "Impress MS PowerPoint 2007 XML"},
                      FilterCase{u"/home/u/Result.PpTx", "Impress MS PowerPoint 2007 XML"},
                      FilterCase{u"/home/u/result.odp", "impress8"},
                      FilterCase{u"/home/u/result.pdf", "impress_pdf_Export"},
                      FilterCase{u"/home/u/Result.PDF", "impress_pdf_Export"},
                      // Only the last extension counts.
                      FilterCase{u"/home/u/result.odp.ppt", "MS PowerPoint 97"},
                      FilterCase{u"/home/u/result.ppt.odp", "impress8"},
                      // Unknown, missing, or a dot that belongs to the folder: PowerPoint 97.
                      FilterCase{u"/home/u/result.pdf.bak", "MS PowerPoint 97"},
                      FilterCase{u"/home/u/result", "MS PowerPoint 97"},
                      FilterCase{u"/home/u.odp/result", "MS PowerPoint 97"},
                      FilterCase{u"/home/u/.odp", "MS PowerPoint 97"},
                      FilterCase{u"/home/u/result.", "MS PowerPoint 97"},
                      FilterCase{u"/home/u/result.pptxx", "MS PowerPoint 97"}),
    [](const auto& test) { return "name" + std::to_string(test.index); });

}  // namespace
}  // namespace foliomix::impress

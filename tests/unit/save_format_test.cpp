// Which format a file's name asks for.
#include "merge/save_format.h"

#include <gtest/gtest.h>

#include <string>

namespace foliomix {
namespace {

TEST(SaveFormatTest, TheLastExtensionOfTheNameNamesTheFormat) {
    struct Case {
        std::u16string fileName;
        std::optional<SaveFormat> format;
    };
    int index = 0;
    for (const Case& c : {
             Case{u"/home/u/合并结果.ppt", SaveFormat::Presentation97},
             Case{u"/home/u/RESULT.PPT", SaveFormat::Presentation97},
             Case{u"/home/u/Result.PpTx", SaveFormat::OpenXml},
             Case{u"/home/u/result.odp", SaveFormat::OpenDocument},
             Case{u"/home/u/Result.PDF", SaveFormat::Pdf},
             Case{u"C:\\Users\\u\\result.odp", SaveFormat::OpenDocument},
             Case{u"result.pptx", SaveFormat::OpenXml},
             // Only the last extension counts.
             Case{u"/home/u/result.odp.ppt", SaveFormat::Presentation97},
             Case{u"/home/u/result.ppt.odp", SaveFormat::OpenDocument},
             // Unknown, missing, or a dot that belongs to a folder or begins the name: none.
             Case{u"/home/u/result.pdf.bak", std::nullopt},
             Case{u"/home/u/result", std::nullopt},
             Case{u"/home/u.odp/result", std::nullopt},
             Case{u"C:\\u.odp\\result", std::nullopt},
             Case{u"/home/u/.odp", std::nullopt},
             Case{u"/home/u/result.", std::nullopt},
             Case{u"/home/u/result.pptxx", std::nullopt},
             Case{u"", std::nullopt},
         }) {
        SCOPED_TRACE("case " + std::to_string(index++));
        EXPECT_EQ(SaveFormatNamedBy(c.fileName), c.format);
    }
}

}  // namespace
}  // namespace foliomix

// Functions of ours run inside the engine: results come back; a runtime error neither waits at
// a dialog nor reaches the caller (the engine drops it), which is why our functions catch
// their own errors and return what went wrong.
#include <gtest/gtest.h>

#include "merge/impress/engine_basic.h"
#include "merge/impress/engine_process.h"
#include "merge/impress/slide_fitting_basic.h"
#include "merge/impress/uno_strings.h"
#include "merge/presentation_server.h"

namespace foliomix::testing {
namespace {

namespace uno = com::sun::star::uno;
using impress::BasicModule;
using impress::CallBasic;

constexpr BasicModule kProbe{"Probe", R"basic(
Function Twice(n As Long) As Long
	Twice = 2 * n
End Function

Function NothingThere() As String
	Dim nothing As Object
	NothingThere = nothing.Name
End Function
)basic"};

class EngineBasicTest : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        engine_ = std::make_unique<impress::EngineProcess>(impress::EngineOptions{});
    }
    static void TearDownTestSuite() { engine_.reset(); }
    static inline std::unique_ptr<impress::EngineProcess> engine_;
};

TEST_F(EngineBasicTest, AFunctionRunsAndRunsAgain) {
    for (const sal_Int32 n : {21, -4}) {
        const uno::Any arguments[] = {uno::Any(n)};
        sal_Int32 result = 0;
        EXPECT_TRUE(CallBasic(*engine_, kProbe, "Twice", {arguments, 1}) >>= result);
        EXPECT_EQ(result, 2 * n);
    }
}

TEST(EngineBasicUncaughtErrorTest, EndsTheFunctionQuietlyAndTheEngineGoesOn) {
    // An engine of its own: after an uncaught error, LibreOffice 25.2 now and then crashes
    // compiling the next module put into the library, which would fail the suite's other cases.
    // Our own functions catch every error, so a merge never gets there.
    const impress::EngineProcess engine{impress::EngineOptions{}};
    rtl::OUString result = "untouched";
    EXPECT_NO_THROW(CallBasic(engine, kProbe, "NothingThere", {}) >>= result);
    EXPECT_TRUE(result.isEmpty());
    const uno::Any arguments[] = {uno::Any(sal_Int32{5})};
    sal_Int32 twice = 0;
    EXPECT_TRUE(CallBasic(engine, kProbe, "Twice", {arguments, 1}) >>= twice);
    EXPECT_EQ(twice, 10);
}

TEST_F(EngineBasicTest, TheFittingReportsItsOwnErrors) {
    // No document at all: the first thing it touches fails.
    const uno::Any arguments[] = {uno::Any(uno::Reference<uno::XInterface>()),
                                  uno::Any(sal_Int32{25400}),
                                  uno::Any(sal_Int32{19050}),
                                  uno::Any(1.0),
                                  uno::Any(0.0),
                                  uno::Any(0.0)};
    rtl::OUString failure;
    EXPECT_TRUE(CallBasic(*engine_, {"SlideFitting", impress::kSlideFittingBasic}, "FitSlides",
                          {arguments, 6}) >>= failure);
    EXPECT_TRUE(failure.startsWith("error ")) << impress::ToUtf8(failure);
}

TEST_F(EngineBasicTest, AnUnknownFunctionFails) {
    EXPECT_THROW(static_cast<void>(CallBasic(*engine_, kProbe, "NoSuchFunction", {})), ServerError);
}

}  // namespace
}  // namespace foliomix::testing

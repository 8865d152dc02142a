// Reading the engine's answers and the failures of the COM support classes, without an engine.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <limits>
#include <optional>

#include "merge/com/com_presentation_server.h"
#include "merge/com/late_bound.h"

namespace foliomix::com {
namespace {

using ::testing::HasSubstr;

// A VARIANT of `type` whose value `set` fills in.
_variant_t Typed(VARTYPE type, const std::function<void(VARIANT&)>& set) {
    _variant_t value;
    V_VT(&value) = type;
    set(value);
    return value;
}

// A count as the engine may answer it: only a number that is a whole 32-bit value is one.
struct NumberCase {
    const char* name;
    std::function<_variant_t()> make;
    std::optional<long> expected;  // none: a ServerError carrying `code`
    const char* code;
};

void PrintTo(const NumberCase& number, std::ostream* out) { *out << number.name; }

class ResultLongOf : public ::testing::TestWithParam<NumberCase> {};

TEST_P(ResultLongOf, IsTheNumberOrAServerError) {
    const NumberCase& param = GetParam();
    const _variant_t value = param.make();
    if (param.expected) {
        EXPECT_EQ(ResultLong(value, L"Presentations.Count"), *param.expected);
        return;
    }
    try {
        const long read = ResultLong(value, L"Presentations.Count");
        ADD_FAILURE() << "read as " << read;
    } catch (const ServerError& error) {
        EXPECT_THAT(error.what(),
                    HasSubstr(std::string("Presentations.Count failed: ") + param.code));
    }
}

constexpr const char* kTypeMismatch = "0x80020005";
constexpr const char* kOverflow = "0x8002000A";
constexpr long kLongMax = std::numeric_limits<long>::max();
constexpr long kLongMin = std::numeric_limits<long>::min();

INSTANTIATE_TEST_SUITE_P(
    EveryVariant, ResultLongOf,
    ::testing::Values(
        NumberCase{"I1", [] { return Typed(VT_I1, [](VARIANT& v) { V_I1(&v) = -5; }); }, -5L, ""},
        NumberCase{"I2", [] { return _variant_t(static_cast<short>(-300)); }, -300L, ""},
        NumberCase{"I4", [] { return _variant_t(123456L); }, 123456L, ""},
        NumberCase{"Int", [] { return Typed(VT_INT, [](VARIANT& v) { V_INT(&v) = 7; }); }, 7L, ""},
        NumberCase{"I8Largest",
                   [] { return Typed(VT_I8, [](VARIANT& v) { V_I8(&v) = kLongMax; }); }, kLongMax,
                   ""},
        NumberCase{"I8Smallest",
                   [] { return Typed(VT_I8, [](VARIANT& v) { V_I8(&v) = kLongMin; }); }, kLongMin,
                   ""},
        NumberCase{
            "I8TooLarge",
            [] { return Typed(VT_I8, [](VARIANT& v) { V_I8(&v) = LONGLONG{kLongMax} + 1; }); },
            std::nullopt, kOverflow},
        NumberCase{
            "I8TooSmall",
            [] { return Typed(VT_I8, [](VARIANT& v) { V_I8(&v) = LONGLONG{kLongMin} - 1; }); },
            std::nullopt, kOverflow},
        NumberCase{"UI1", [] { return Typed(VT_UI1, [](VARIANT& v) { V_UI1(&v) = 200; }); }, 200L,
                   ""},
        NumberCase{"UI2", [] { return Typed(VT_UI2, [](VARIANT& v) { V_UI2(&v) = 60000; }); },
                   60000L, ""},
        NumberCase{"UI4", [] { return Typed(VT_UI4, [](VARIANT& v) { V_UI4(&v) = 5; }); }, 5L, ""},
        NumberCase{"UI4TooLarge",
                   [] { return Typed(VT_UI4, [](VARIANT& v) { V_UI4(&v) = 4000000000U; }); },
                   std::nullopt, kOverflow},
        NumberCase{"UInt", [] { return Typed(VT_UINT, [](VARIANT& v) { V_UINT(&v) = 9; }); }, 9L,
                   ""},
        NumberCase{"UI8TooLarge",
                   [] { return Typed(VT_UI8, [](VARIANT& v) { V_UI8(&v) = ~ULONGLONG{0}; }); },
                   std::nullopt, kOverflow},
        NumberCase{"R4Whole", [] { return _variant_t(3.0F); }, 3L, ""},
        NumberCase{"R8Whole", [] { return _variant_t(2.0); }, 2L, ""},
        NumberCase{"R8NegativeZero", [] { return _variant_t(-0.0); }, 0L, ""},
        NumberCase{"R8Fraction", [] { return _variant_t(2.5); }, std::nullopt, kTypeMismatch},
        NumberCase{"R8NotANumber", [] { return _variant_t(std::nan("")); }, std::nullopt,
                   kTypeMismatch},
        NumberCase{"R8Infinite", [] { return _variant_t(HUGE_VAL); }, std::nullopt, kTypeMismatch},
        NumberCase{"R8TooLarge", [] { return _variant_t(3e9); }, std::nullopt, kOverflow},
        // Not numbers, whatever a conversion would make of them.
        NumberCase{"Empty", [] { return _variant_t(); }, std::nullopt, kTypeMismatch},
        NumberCase{"Null", [] { return Typed(VT_NULL, [](VARIANT&) {}); }, std::nullopt,
                   kTypeMismatch},
        NumberCase{"BooleanTrue", [] { return _variant_t(true); }, std::nullopt, kTypeMismatch},
        NumberCase{"BooleanFalse", [] { return _variant_t(false); }, std::nullopt, kTypeMismatch},
        NumberCase{"DigitsAsText", [] { return _variant_t(L"3"); }, std::nullopt, kTypeMismatch},
        NumberCase{"Date", [] { return _variant_t(3.0, VT_DATE); }, std::nullopt, kTypeMismatch},
        NumberCase{"Currency",
                   [] { return Typed(VT_CY, [](VARIANT& v) { V_CY(&v).int64 = 30000; }); },
                   std::nullopt, kTypeMismatch},
        NumberCase{"Error",
                   [] { return _variant_t(static_cast<long>(DISP_E_PARAMNOTFOUND), VT_ERROR); },
                   std::nullopt, kTypeMismatch},
        NumberCase{"NoObject",
                   [] { return Typed(VT_DISPATCH, [](VARIANT& v) { V_DISPATCH(&v) = nullptr; }); },
                   std::nullopt, kTypeMismatch}),
    [](const ::testing::TestParamInfo<NumberCase>& tested) {
        return std::string(tested.param.name);
    });

// The COM support classes' own failures come out of the adapter as ServerError, never as
// _com_error, which nothing that catches std::exception would stop.
struct SupportFailure {
    const char* name;
    std::function<void()> fail;
    const char* code;
};

void PrintTo(const SupportFailure& failure, std::ostream* out) { *out << failure.name; }

class ComSupportErrors : public ::testing::TestWithParam<SupportFailure> {};

TEST_P(ComSupportErrors, AreServerErrorsOnceTheAdapterExists) {
    const ComPresentationServer server;
    try {
        GetParam().fail();
        ADD_FAILURE() << "no failure";
    } catch (const ServerError& error) {
        EXPECT_THAT(error.what(), HasSubstr(GetParam().code));
    } catch (...) {
        ADD_FAILURE() << "not a ServerError";
    }
}

INSTANTIATE_TEST_SUITE_P(
    EverySupportFailure, ComSupportErrors,
    ::testing::Values(
        // Copying a VARIANT the system cannot copy.
        SupportFailure{"VariantCopy",
                       [] {
                           const _variant_t bad = Typed(0x7FFF, [](VARIANT&) {});
                           const _variant_t copy(bad);
                       },
                       "0x80020008"},
        SupportFailure{"WrongTypeForAShort",
                       [] { const _variant_t value(static_cast<short>(1), VT_R8); }, "0x80070057"}),
    [](const ::testing::TestParamInfo<SupportFailure>& tested) {
        return std::string(tested.param.name);
    });

}  // namespace
}  // namespace foliomix::com
